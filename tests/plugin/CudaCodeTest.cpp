// The device code in the shipped library: real code for every architecture the toolkit builds
// from Turing on, so no card waits for a JIT compile (or, on a toolkit without its code, gets
// none), and PTX of the newest for cards that came later. Read from the fat binaries the CUDA
// compiler embeds, one per kernel file.

#include <elf.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

template <class T>
T at(const std::string& bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) {
        std::memcpy(&value, bytes.data() + offset, sizeof(T));
    }
    return value;
}

std::string section(const std::string& elf, const std::string& wanted) {
    const auto header = at<Elf64_Ehdr>(elf, 0);
    const auto names = at<Elf64_Shdr>(elf, header.e_shoff + header.e_shstrndx * sizeof(Elf64_Shdr));
    for (int i = 0; i < header.e_shnum; ++i) {
        const auto s = at<Elf64_Shdr>(elf, header.e_shoff + i * sizeof(Elf64_Shdr));
        if (elf.compare(names.sh_offset + s.sh_name, wanted.size() + 1, wanted.c_str(),
                        wanted.size() + 1) == 0) {
            return elf.substr(s.sh_offset, s.sh_size);
        }
    }
    return "";
}

// Per embedded fat binary: the architectures with machine code, and those with PTX.
struct FatBinary {
    std::set<unsigned> cubins;
    std::set<unsigned> ptx;
};

std::vector<FatBinary> fatBinaries(const std::string& section) {
    constexpr std::uint32_t kMagic = 0xBA55ED50u;
    std::vector<FatBinary> found;
    for (std::size_t pos = 0; pos + 16 <= section.size();) {
        if (at<std::uint32_t>(section, pos) != kMagic) {
            pos += 8;
            continue;
        }
        const std::size_t begin = pos + at<std::uint16_t>(section, pos + 6);
        const std::size_t end = begin + at<std::uint64_t>(section, pos + 8);
        FatBinary fat;
        for (std::size_t entry = begin; entry < end && entry + 32 <= section.size();) {
            const auto kind = at<std::uint16_t>(section, entry);
            const auto arch = at<std::uint32_t>(section, entry + 28);
            (kind == 1 ? fat.ptx : fat.cubins).insert(arch);
            entry += at<std::uint32_t>(section, entry + 4) + at<std::uint64_t>(section, entry + 8);
        }
        found.push_back(fat);
        pos = (end + 7) / 8 * 8;
    }
    return found;
}

TEST(CudaCode, EveryArchitectureFromTuringOnHasMachineCodeAndTheNewestHasPtx) {
    std::ifstream in(HALDEN_PLUGIN_BINARY, std::ios::binary);
    const std::string elf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(elf.empty()) << HALDEN_PLUGIN_BINARY;

    int major = 0, minor = 0;
    char dot = 0;
    std::istringstream(HALDEN_CUDA_VERSION) >> major >> dot >> minor;
    const bool blackwell = major > 12 || (major == 12 && minor >= 8);
    std::set<unsigned> expected = {75, 80, 86, 89, 90};
    if (blackwell) {
        expected.insert({100, 120});
    }
    const unsigned newest = *expected.rbegin();

    const std::vector<FatBinary> fats = fatBinaries(section(elf, ".nv_fatbin"));
    ASSERT_EQ(fats.size(), 3u) << "the lens pass, the post-blur and the final blend";
    for (const FatBinary& fat : fats) {
        EXPECT_EQ(fat.cubins, expected) << "CUDA " << HALDEN_CUDA_VERSION;
        EXPECT_EQ(fat.ptx, std::set<unsigned>{newest});
    }
}

} // namespace
