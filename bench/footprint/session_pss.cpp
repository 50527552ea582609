// Proportional set size of one process as if its desktop session were all that ran: every
// resident page counts 1/n, where n is how many mappings of the measured process and the given
// session processes hold that physical page. The kernel's own figure also divides by processes
// outside the session (other users' programs on a shared machine), which makes it drift with
// whatever else runs. Reads /proc/PID/pagemap, whose frame numbers only root sees.
//
//   tovo-bench-session-pss PID [SESSION_PID...]
//
// Prints pss_kb=, uss_kb= (pages no session process shares) and rss_kb=, then one line per
// mapping name, largest first: "<kB> <name>". Anonymous mappings right after a file's own
// mappings are that file's zero-initialised data and count with it; other anonymous memory is
// "[anonymous]" (malloc arenas, thread stacks).

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr std::uint64_t pageSize = 4096;
constexpr std::uint64_t present = 1ULL << 63;
constexpr std::uint64_t frameMask = (1ULL << 55) - 1;

struct Region {
    std::uint64_t start = 0;
    std::uint64_t end = 0;
    std::string name;
};

std::vector<Region> regionsOf(int pid)
{
    std::vector<Region> regions;
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    std::string writableFile; // the file whose writable mapping ends where the next region starts
    std::uint64_t previousEnd = 0;
    while (std::getline(maps, line)) {
        std::istringstream fields(line);
        std::string range, permissions, offset, device, inode, name;
        fields >> range >> permissions >> offset >> device >> inode;
        std::getline(fields >> std::ws, name);
        Region region;
        const auto dash = range.find('-');
        region.start = std::stoull(range.substr(0, dash), nullptr, 16);
        region.end = std::stoull(range.substr(dash + 1), nullptr, 16);
        if (name.empty())
            name =
                !writableFile.empty() && previousEnd == region.start ? writableFile : "[anonymous]";
        writableFile = name.front() == '/' && permissions.starts_with("rw") ? name : "";
        previousEnd = region.end;
        region.name = name;
        regions.push_back(region);
    }
    return regions;
}

// The frame of every resident page of `pid`, with the region it belongs to.
template <typename Visit> bool visitPages(int pid, const std::vector<Region>& regions, Visit visit)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/pagemap";
    std::FILE* pagemap = std::fopen(path.c_str(), "rb");
    if (!pagemap)
        return false;
    std::vector<std::uint64_t> entries;
    for (std::size_t index = 0; index < regions.size(); ++index) {
        const Region& region = regions[index];
        const std::uint64_t pages = (region.end - region.start) / pageSize;
        // [vsyscall] lies beyond what pagemap can seek to.
        if (pages == 0 || region.name == "[vsyscall]")
            continue;
        entries.resize(pages);
        if (std::fseek(pagemap, static_cast<long>(region.start / pageSize * 8), SEEK_SET) != 0)
            continue;
        const std::size_t read = std::fread(entries.data(), 8, pages, pagemap);
        for (std::size_t page = 0; page < read; ++page) {
            if (entries[page] & present)
                visit(index, entries[page] & frameMask);
        }
    }
    std::fclose(pagemap);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::cerr << "usage: tovo-bench-session-pss PID [SESSION_PID...]\n";
        return 2;
    }
    std::vector<int> pids;
    for (int i = 1; i < argc; ++i)
        pids.push_back(std::stoi(argv[i]));

    // How many mappings in the session hold each frame.
    std::unordered_map<std::uint64_t, std::uint32_t> mappings;
    std::vector<Region> measured;
    bool framesSeen = false;
    for (std::size_t i = 0; i < pids.size(); ++i) {
        const std::vector<Region> regions = regionsOf(pids[i]);
        if (i == 0)
            measured = regions;
        const bool readable = visitPages(pids[i], regions, [&](std::size_t, std::uint64_t frame) {
            framesSeen = framesSeen || frame != 0;
            ++mappings[frame];
        });
        if (!readable && i == 0) {
            std::cerr << "tovo-bench-session-pss: cannot read the pages of " << pids[i] << '\n';
            return 1;
        }
    }
    if (!framesSeen) {
        std::cerr << "tovo-bench-session-pss: page frames are hidden (run as root)\n";
        return 1;
    }

    double pss = 0;
    std::uint64_t uss = 0;
    std::uint64_t rss = 0;
    std::map<std::string, double> byName;
    visitPages(pids.front(), measured, [&](std::size_t region, std::uint64_t frame) {
        const std::uint32_t count = mappings[frame];
        const double share = static_cast<double>(pageSize) / count;
        pss += share;
        rss += pageSize;
        if (count == 1)
            uss += pageSize;
        byName[measured[region].name] += share;
    });
    std::printf("pss_kb=%.0f\nuss_kb=%llu\nrss_kb=%llu\n", pss / 1024,
                static_cast<unsigned long long>(uss / 1024),
                static_cast<unsigned long long>(rss / 1024));
    std::multimap<double, std::string, std::greater<>> largest;
    for (const auto& [name, bytes] : byName)
        largest.emplace(bytes, name);
    for (const auto& [bytes, name] : largest)
        std::printf("%.0f %s\n", bytes / 1024, name.c_str());
    return 0;
}
