#include "ByteSource.h"

#include <algorithm>

namespace kvaderon {

void TFileBytes::Read(std::uint64_t AOffset, void* AData, std::size_t ALength) const {
    if (ALength >= windowBytes) {
        platform::ReadExactly(FFile, AOffset, AData, ALength, FPath);
        return;
    }
    const bool inWindow = AOffset >= FWindowAt && AOffset - FWindowAt <= FWindow.size() &&
                          ALength <= FWindow.size() - (AOffset - FWindowAt);
    if (!inWindow) {
        FWindow.resize(std::size_t(std::min<std::uint64_t>(windowBytes, Size() - AOffset)));
        FWindowAt = AOffset;
        platform::ReadExactly(FFile, AOffset, FWindow.data(), FWindow.size(), FPath);
    }
    std::copy_n(FWindow.begin() + std::ptrdiff_t(AOffset - FWindowAt), ALength, static_cast<std::uint8_t*>(AData));
}

} // namespace kvaderon
