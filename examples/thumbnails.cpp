// Makes a 160 x 120 thumbnail of each picture, aspect ratio kept on a grey ground.
// Usage: example_thumbnails OUTPUT_FOLDER PICTURE...
#include <cstdio>
#include <string>

#include "FxPictor.h"

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER PICTURE...\n", argv[0]);
        return 2;
    }
    int failures = 0;
    for (int i = 2; i < argc; ++i) {
        CFxPictor picture;
        if (picture.LoadImageW(CString(argv[i])) != 1) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            ++failures;
            continue;
        }
        picture.ReSampling(160, 120, 1, 200, 200, 200);  // 1: fit, keeping the aspect ratio
        const std::string output = std::string(argv[1]) + "/thumb-" + std::to_string(i - 1) + ".jpg";
        picture.SaveJPG(CString(output.c_str()), 85);
        std::printf("%s -> %s\n", argv[i], output.c_str());
    }
    return failures ? 1 : 0;
}
