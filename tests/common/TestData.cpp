#include "common/TestData.h"

#include <cstdio>

namespace promo::test {

std::string DataPath(const std::string& relative) {
    std::string path = PROMO_TEST_DATA_DIR;
#ifdef _WIN32
    // Under Wine the Unix root is drive Z:.
    path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    std::string rel = relative;
    for (char& c : rel)
        if (c == '/') c = '\\';
    return path + "\\" + rel;
#else
    return path + "/" + relative;
#endif
}

std::vector<std::uint8_t> ReadDataFile(const std::string& relative) {
    std::vector<std::uint8_t> bytes;
    std::FILE* f = std::fopen(DataPath(relative).c_str(), "rb");
    if (!f) return bytes;
    unsigned char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return bytes;
}

}  // namespace promo::test
