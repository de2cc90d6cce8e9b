// Named TIFF files of every layout the inverter and the analyzer know, and the malformed files the
// tests use: the seeds of the fuzz harnesses and the mix of the stress run.
#pragma once

#include "TiffBuilder.h"

#include <string>
#include <vector>

namespace kvaderon::test {

struct TNamedFile {
    std::string Name;
    TBytes Bytes;
};

std::vector<TNamedFile> TiffLayouts();
// Each breaks one rule of the readers; a few are only odd and still accepted.
std::vector<TNamedFile> MalformedTiffs();

} // namespace kvaderon::test
