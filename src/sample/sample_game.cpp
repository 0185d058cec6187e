#include "sample/sample_game.h"

#include <array>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "catalogue/layout.h"
#include "io/file_io.h"

namespace quorvane {

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::array<std::size_t, kGameFileCount> kSizes = {
    4096,      // ITEMPOW.LBX: records end at 548 + 66 x 30
    4096,      // BUILDDAT.LBX: 548 + 36 x 52
    9216,      // SPELLDAT.LBX: 548 + 215 x 36
    0xF5000,   // WIZARDS.EXE: the last place is at 0xF41AB
    0x49000,   // MAGIC.EXE: the last place is at 0x47C35
    0x2A000,   // ITEMMAKE.EXE: the item costs end at 0x29B5A
};

// Where the unit and race names are put in WIZARDS.EXE: after the upkeep
// table and before the item-cost copy, clear of every value place.
constexpr int kNamesStart = 0x2C000;

const char* const kFirst[] = {"Ash", "Bel", "Cor", "Dra", "Eld", "Fen", "Gor", "Hal", "Ira", "Jor", "Kel",
                              "Lor", "Mor", "Nym", "Orn", "Pyr", "Quel", "Ryn", "Syl", "Tor", "Ul", "Vor",
                              "Wyr", "Xan", "Yor", "Zan"};
const char* const kMiddle[] = {"a", "e", "i", "o", "u", "an", "en", "ar", "or", "ir", "ath", "eth"};
const char* const kLast[] = {"don", "mir", "wyn", "gard", "thas", "rin", "vel", "moth", "dar", "ros",
                             "ken", "las", "bane", "fire", "storm", "shade", "wing", "claw", "horn", "song"};
const char* const kSecond[] = {"Guard", "Spear", "Bow", "Knight", "Mage", "Ward", "Blade", "Rider",
                               "Wolf", "Drake", "Shield", "Fang", "Sage", "Tower", "Gate"};

template <std::size_t N>
const char* Pick(std::mt19937& rng, const char* const (&list)[N]) {
    return list[rng() % N];
}

// A printable name of 3 to 18 characters, now and then exactly 18.
std::string MakeName(std::mt19937& rng) {
    std::string name = std::string(Pick(rng, kFirst)) + Pick(rng, kMiddle) + Pick(rng, kLast);
    if (rng() % 3 == 0) name += std::string(" ") + Pick(rng, kSecond);
    if (rng() % 10 == 0) {
        while (name.size() < static_cast<std::size_t>(kNameBytes)) name += Pick(rng, kMiddle);
    }
    if (name.size() > static_cast<std::size_t>(kNameBytes)) name.resize(static_cast<std::size_t>(kNameBytes));
    while (!name.empty() && name.back() == ' ') name.pop_back();
    return name;
}

void PutName(Bytes& file, std::size_t at, const std::string& name) {
    for (std::size_t k = 0; k < static_cast<std::size_t>(kNameBytes); ++k)
        file[at + k] = k < name.size() ? static_cast<std::uint8_t>(name[k]) : 0;
}

void PutWord(Bytes& file, std::size_t at, int value) {
    file[at] = static_cast<std::uint8_t>(value & 0xFF);
    file[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

}  // namespace

bool WriteSampleGame(const std::filesystem::path& dir, std::uint32_t seed, std::filesystem::path* failed) {
    std::mt19937 rng(seed);
    std::array<Bytes, kGameFileCount> files;
    for (int f = 0; f < kGameFileCount; ++f) {
        Bytes& b = files[static_cast<std::size_t>(f)];
        b.resize(kSizes[static_cast<std::size_t>(f)]);
        for (auto& byte : b) byte = static_cast<std::uint8_t>(rng() & 0xFF);
    }
    auto file = [&](GameFile f) -> Bytes& { return files[static_cast<std::size_t>(f)]; };

    // Names of the item powers, buildings and spells, in their records.
    for (int i = 0; i <= 2; ++i)
        for (int j = 0; j < Rows(i); ++j) PutName(file(GameFileOf(i)), static_cast<std::size_t>(ValueOffset(i, j, 0)), MakeName(rng));

    // Unit and race names, reached through each record's name pointer.
    std::size_t text = kNamesStart;
    for (int i = 3; i <= 20; ++i) {
        for (int j = 0; j < Rows(i); ++j) {
            PutWord(file(GameFile::Wizards), static_cast<std::size_t>(ValueOffset(i, j, 0)),
                    static_cast<int>(text) - kNameTextBase);
            PutName(file(GameFile::Wizards), text, MakeName(rng));
            text += kNameBytes + 1;
        }
    }

    // The destroyed-items setting holds one of its two code words, and the
    // tower count leaves room for its copy, which holds the count plus 6.
    PutWord(file(GameFile::Wizards), static_cast<std::size_t>(ValueOffset(kDestroyedItemsSection, 0, 1)),
            (rng() & 1) ? kCode50 : kCode25);
    const int towers = static_cast<int>(rng() % 250);
    file(GameFile::Magic)[kTowersOffset] = static_cast<std::uint8_t>(towers);
    file(GameFile::Magic)[kTowersCopyOffset] = static_cast<std::uint8_t>(towers + kTowersCopyAdd);

    std::error_code ec;
    if (!dir.empty()) std::filesystem::create_directories(dir, ec);
    for (int f = 0; f < kGameFileCount; ++f) {
        const std::filesystem::path path = GamePath(dir, GameFileName(static_cast<GameFile>(f)));
        const Bytes& b = files[static_cast<std::size_t>(f)];
        if (!ReplaceFileContents(path, std::string_view(reinterpret_cast<const char*>(b.data()), b.size()))) {
            if (failed) *failed = path;
            return false;
        }
    }
    return true;
}

}  // namespace quorvane
