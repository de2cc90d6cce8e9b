#include "FolderTrees.h"

#include "InputFiles.h"
#include "TiffBuilder.h"

namespace kvaderon::test {

namespace fs = std::filesystem;

std::vector<TFolderTree> FolderTrees() {
    return {
        {"nested folders in path order, letter case of the extension ignored",
         {"b.tif", "a/2.TIFF", "a/1.tif", "a/deep/er/x.Tif", "c/empty/.keep"},
         {},
         {"a/1.tif", "a/2.TIFF", "a/deep/er/x.Tif", "b.tif"}},
        {"hidden files and folders left out",
         {".hidden.tif", ".cache/in.tif", "roll/.kvaderon-1234abcd.tmp", "roll/shown.tif"},
         {},
         {"roll/shown.tif"}},
        {"links to folders left out (a loop too), a link to a file kept",
         {"roll/scan.tif"},
         {{"roll/loop", ".."}, {"alias", "roll"}, {"linked.tif", "roll/scan.tif"}},
         {"linked.tif", "roll/scan.tif"}},
        {"files that are not TIFF files left out",
         {"notes.txt", "scan.tif.bak", "scan.jpg", "tif", "scan.tiff"},
         {},
         {"scan.tiff"}},
        {"a folder with no TIFF file", {"readme.txt", "sub/other.png"}, {}, {}},
    };
}

bool MakeFolderTree(const fs::path& ARoot, const TFolderTree& ATree) {
    std::uint16_t seed = 1;
    for (const std::string& file : ATree.Files) {
        const fs::path path = ARoot / file;
        fs::create_directories(path.parent_path());
        if (IsTiffFileName(path)) {
            TImageLayout layout;
            layout.Samples.assign(SampleCount(layout), std::uint16_t(0x1111 * seed++));
            WriteFile(path, BuildImage(layout).Build());
        } else {
            WriteFile(path, {'n', 'o', 't', ' ', 't', 'i', 'f', 'f'});
        }
    }
    for (const auto& [link, target] : ATree.Links) {
        std::error_code error;
        const fs::path linkPath = ARoot / link;
        if (fs::is_directory(linkPath.parent_path() / target))
            fs::create_directory_symlink(target, linkPath, error);
        else
            fs::create_symlink(target, linkPath, error);
        if (error)
            return false;
    }
    return true;
}

} // namespace kvaderon::test
