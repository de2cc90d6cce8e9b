#include "MappedFile.h"

#include <utility>

namespace kvaderon::platform {

TMappedFile::~TMappedFile() {
    Close();
}

TMappedFile::TMappedFile(TMappedFile&& AOther) noexcept {
    Swap(AOther);
}

TMappedFile& TMappedFile::operator=(TMappedFile&& AOther) noexcept {
    if (this != &AOther) {
        Close();
        Swap(AOther);
    }
    return *this;
}

void TMappedFile::Swap(TMappedFile& AOther) noexcept {
    std::swap(FFileHandle, AOther.FFileHandle);
    std::swap(FMappingHandle, AOther.FMappingHandle);
    std::swap(FView, AOther.FView);
    std::swap(FSize, AOther.FSize);
}

} // namespace kvaderon::platform
