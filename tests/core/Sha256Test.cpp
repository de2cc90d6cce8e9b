// SHA-256 from the system's library, and the digests of an inversion's streamed pass.
#include "platform/Sha256.h"
#include "InverterTestSupport.h"
#include "MemoryFileSystem.h"

#include <gtest/gtest.h>

#include <string>

namespace kvaderon {
namespace {

using namespace test;
namespace fs = std::filesystem;

std::string Digest(const void* AData, std::size_t ALength) {
    platform::TSha256 hash;
    hash.Update(AData, ALength);
    return hash.FinishHex();
}

std::string Digest(const TBytes& ABytes) {
    return Digest(ABytes.data(), ABytes.size());
}

TEST(Sha256, KnownVectorsWholeAndInPieces) {
    const std::string million(1000000, 'a');
    const struct {
        std::string Text;
        const char* Digest;
    } vectors[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {million, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    platform::TSha256 reused;
    for (const auto& vector : vectors) {
        SCOPED_TRACE(vector.Text.substr(0, 10));
        EXPECT_EQ(Digest(vector.Text.data(), vector.Text.size()), vector.Digest);
        // Pieces of odd sizes across the 64-byte blocks; the object starts over after each digest.
        for (std::size_t at = 0, piece = 1; at < vector.Text.size(); at += piece, piece = piece * 3 + 1)
            reused.Update(vector.Text.data() + at, std::min(piece, vector.Text.size() - at));
        EXPECT_EQ(reused.FinishHex(), vector.Digest);
    }
}

// Several chunks of the pass, so that the slots of the digests' thread are reused.
TEST(Sha256, AnInversionHashesTheBytesItReadAndWrote) {
    TImageLayout layout;
    layout.SamplesPerPixel = 3;
    layout.Photometric = 2;
    layout.Width = 700;
    layout.Height = 400;
    layout.StripsPerPlane = 9;
    const TBytes negative = BuildImage(layout).Build();
    const fs::path input = "/in.tif", output = "/out.tif";
    for (const bool verify : {false, true}) {
        TMemoryFileSystem files;
        files.Write(input, negative);
        TInversionOptions options;
        options.Hash = true;
        options.HashInput = true;
        options.Verify = verify;
        const TInversionResult result = TTIFFInverterSingle(files).Invert(input, output, options);
        EXPECT_EQ(result.Size, negative.size());
        EXPECT_EQ(result.Verified, verify);
        EXPECT_EQ(result.Hashes.Input, Digest(negative));
        EXPECT_EQ(result.Hashes.Output, Digest(files.Node(output).Bytes));
        EXPECT_NE(result.Hashes.Input, result.Hashes.Output);
    }
    TMemoryFileSystem files;
    files.Write(input, negative);
    EXPECT_TRUE(TTIFFInverterSingle(files).Invert(input, output, {}).Hashes.Input.empty()) << "hashed unasked";
    TInversionOptions outputOnly;
    outputOnly.Hash = true;
    const TInversionResult result = TTIFFInverterSingle(files).Invert(input, "/out2.tif", outputOnly);
    EXPECT_TRUE(result.Hashes.Input.empty()) << "the negative hashed unasked";
    EXPECT_EQ(result.Hashes.Output, Digest(files.Node("/out2.tif").Bytes));
}

} // namespace
} // namespace kvaderon
