// Writes the CD+G test disc of the sync benchmark: `make_cdg_disc OUT.cdg [SECONDS]`. Colour
// tables, screen and border presets and normal and XOR tiles at irregular packets, drawn from a
// fixed seed so every run gets the same disc.

#include <cstdlib>
#include <iostream>
#include <random>

#include "tests/media/CdgWriter.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: make_cdg_disc OUT.cdg [SECONDS]\n";
        return 2;
    }
    const long long seconds = argc > 2 ? std::atoll(argv[2]) : 60;
    const long long packets = seconds * CdgWriter::kPacketsPerSecond;
    std::mt19937 random(20240607);
    const auto pick = [&](int below) {
        return static_cast<int>(random() % static_cast<unsigned>(below));
    };
    const auto table = [&] {
        std::array<std::uint16_t, 8> colors{};
        for (auto& color : colors) {
            color = static_cast<std::uint16_t>(pick(0x1000));
        }
        return colors;
    };
    CdgWriter disc;
    disc.colorTable(false, table()).colorTable(true, table()).memoryPreset(pick(16));
    for (long long packet = 3; packet < packets; packet += 1 + pick(12)) {
        disc.at(packet);
        const int kind = pick(100);
        if (kind < 2) {
            disc.colorTable(kind == 0, table());
        } else if (kind < 3) {
            disc.memoryPreset(pick(16));
        } else if (kind < 5) {
            disc.borderPreset(pick(16));
        } else {
            std::array<std::uint8_t, CdgWriter::kTileHeight> rows{};
            for (auto& row : rows) {
                row = static_cast<std::uint8_t>(pick(64));
            }
            disc.tile(1 + pick(16), 1 + pick(48), pick(16), pick(16), rows, kind >= 70);
        }
    }
    disc.at(packets);
    if (!disc.save(argv[1])) {
        std::cerr << "cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
