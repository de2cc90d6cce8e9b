#include "ChunkReader.h"
#include "platform/SystemError.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <stdexcept>

namespace kvaderon {
namespace {

constexpr std::size_t ChunkBytes = 1000;

// Byte i of the file is i % 251; the read that reaches byte AFailAt raises, as a disk would.
class TCountingBytes final : public TByteSource {
public:
    TCountingBytes(std::uint64_t ASize, std::optional<std::uint64_t> AFailAt) : TByteSource(ASize), FFailAt(AFailAt) {}
    void Read(std::uint64_t AOffset, void* AData, std::size_t ALength) const override {
        ++Reads;
        if (FFailAt && AOffset <= *FFailAt && *FFailAt < AOffset + ALength)
            throw platform::ESystemError("read failed");
        for (std::size_t i = 0; i < ALength; ++i)
            static_cast<std::uint8_t*>(AData)[i] = std::uint8_t((AOffset + i) % 251);
    }
    mutable std::atomic<int> Reads = 0;

private:
    std::optional<std::uint64_t> FFailAt;
};

std::vector<std::pair<std::uint64_t, std::uint64_t>> Chunks(std::size_t ACount) {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> chunks;
    for (std::size_t i = 0; i < ACount; ++i)
        chunks.emplace_back(i * ChunkBytes, (i + 1) * ChunkBytes - (i % 2)); // some a byte short
    return chunks;
}

// One chunk (read on the caller's thread) and many (read ahead on a thread): every chunk's bytes in
// order; a failed read raised when the caller reaches that chunk, and nothing read after it.
TEST(ChunkReader, GivesEveryChunkInOrderAndAFailureWhereItHappened) {
    struct TCase {
        const char* Name;
        std::size_t Chunks;
        std::optional<std::size_t> FailingChunk;
    };
    const TCase cases[] = {{"one chunk", 1, {}},
                           {"one failing chunk", 1, 0},
                           {"ten chunks", 10, {}},
                           {"ten chunks, the fifth failing", 10, 4}};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto chunks = Chunks(c.Chunks);
        std::optional<std::uint64_t> failAt;
        if (c.FailingChunk)
            failAt = chunks[*c.FailingChunk].first + 7;
        TCountingBytes file(chunks.back().second, failAt);
        {
            TChunkReader reader(file, chunks);
            for (std::size_t i = 0; i < chunks.size(); ++i) {
                if (c.FailingChunk == i) {
                    EXPECT_THROW(reader.Next(), platform::ESystemError);
                    break;
                }
                const std::uint8_t* bytes = reader.Next();
                const auto [start, end] = chunks[i];
                bool same = true;
                for (std::uint64_t at = start; at < end; ++at)
                    same = same && bytes[at - start] == std::uint8_t(at % 251);
                EXPECT_TRUE(same) << "chunk " << i;
                reader.Release();
            }
            if (!c.FailingChunk) {
                EXPECT_THROW(reader.Next(), std::logic_error) << "a chunk after the last";
            }
        }
        if (c.FailingChunk) {
            EXPECT_EQ(file.Reads, int(*c.FailingChunk) + 1) << "read on after the failure";
        }
    }
}

} // namespace
} // namespace kvaderon
