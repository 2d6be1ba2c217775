// Writes the settings icon: a small green circuit board with a yellow ring marking the jumpers,
// stored as a single 32 x 32, 16-colour image in a Windows .ico container.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int iconSize = 32;

// The sixteen standard VGA colours in the order Windows uses for 4-bit bitmaps.
enum PaletteIndex : std::uint8_t {
    black,
    maroon,
    green,
    olive,
    navy,
    purple,
    teal,
    silver,
    grey,
    red,
    lime,
    yellow,
    blue,
    fuchsia,
    aqua,
    white
};

struct PaletteEntry {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};

constexpr std::array<PaletteEntry, 16> vgaPalette{{{0, 0, 0},
                                                   {128, 0, 0},
                                                   {0, 128, 0},
                                                   {128, 128, 0},
                                                   {0, 0, 128},
                                                   {128, 0, 128},
                                                   {0, 128, 128},
                                                   {192, 192, 192},
                                                   {128, 128, 128},
                                                   {255, 0, 0},
                                                   {0, 255, 0},
                                                   {255, 255, 0},
                                                   {0, 0, 255},
                                                   {255, 0, 255},
                                                   {0, 255, 255},
                                                   {255, 255, 255}}};

struct Picture {
    // Indexed top row first; the file stores rows bottom-up.
    std::array<std::array<PaletteIndex, iconSize>, iconSize> colours{};
    std::array<std::array<bool, iconSize>, iconSize> opaque{};

    void set(int x, int y, PaletteIndex colour) {
        if (x < 0 || y < 0 || x >= iconSize || y >= iconSize) {
            return;
        }
        colours[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = colour;
        opaque[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = true;
    }
};

Picture drawIcon() {
    Picture picture;
    constexpr int left = 2;
    constexpr int right = 29;
    constexpr int top = 6;
    constexpr int bottom = 25;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const bool cornerX = x == left || x == right;
            const bool cornerY = y == top || y == bottom;
            if (cornerX && cornerY) {
                continue;
            }
            const bool innerCorner = (x == left + 1 || x == right - 1) && (y == top + 1 || y == bottom - 1);
            if (cornerX || cornerY || innerCorner) {
                picture.set(x, y, black);
            } else if (x == left + 1 || y == top + 1) {
                // The upper and left rims catch the light, as on the board photograph.
                picture.set(x, y, lime);
            } else {
                picture.set(x, y, green);
            }
        }
    }
    // Edge connector tab with its gold fingers.
    for (int y = 25; y <= 28; ++y) {
        for (int x = 8; x <= 24; ++x) {
            const bool outline = y == 28 || x == 8 || x == 24;
            picture.set(x, y, outline ? black : (x % 2 == 1 ? yellow : olive));
        }
    }
    // Traces from the chip towards the connector.
    for (int y = 17; y <= 24; ++y) {
        picture.set(7, y, lime);
        picture.set(10, y, lime);
    }
    picture.set(13, 12, lime);
    // The chip: black body, silver leads on all four sides, a pin-1 dot.
    for (int y = 9; y <= 15; ++y) {
        for (int x = 5; x <= 11; ++x) {
            picture.set(x, y, black);
        }
    }
    for (int step = 0; step < 4; ++step) {
        const int along = 6 + step * 2;
        const int down = 9 + step * 2;
        picture.set(4, down, silver);
        picture.set(12, down, silver);
        picture.set(along, 8, silver);
        picture.set(along, 16, silver);
    }
    picture.set(6, 10, grey);
    // Filter jumpers inside the highlight ring.
    for (int row = 0; row < 3; ++row) {
        const int top = 10 + row * 3;
        for (int x = 19; x <= 23; ++x) {
            picture.set(x, top, black);
            picture.set(x, top + 1, black);
        }
        picture.set(20, top, yellow);
        picture.set(22, top, yellow);
    }
    // The highlight ring, drawn last so it stays unbroken.
    for (int y = 0; y < iconSize; ++y) {
        for (int x = 0; x < iconSize; ++x) {
            const float distance =
                std::hypot(static_cast<float>(x) + 0.5f - 21.5f, static_cast<float>(y) + 0.5f - 14.5f);
            if (std::fabs(distance - 6.6f) < 0.85f) {
                picture.set(x, y, yellow);
            }
        }
    }
    return picture;
}

void appendWord(std::vector<std::uint8_t>& bytes, std::uint16_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void appendLong(std::vector<std::uint8_t>& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        bytes.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

std::vector<std::uint8_t> encodeIcon(const Picture& picture) {
    constexpr std::uint32_t headerSize = 40;
    constexpr std::uint32_t paletteSize = 16 * 4;
    constexpr std::uint32_t colourRowSize = iconSize / 2;
    constexpr std::uint32_t maskRowSize = ((iconSize + 31) / 32) * 4;
    constexpr std::uint32_t imageSize = (colourRowSize + maskRowSize) * iconSize;
    constexpr std::uint32_t resourceSize = headerSize + paletteSize + imageSize;
    constexpr std::uint32_t directorySize = 6 + 16;

    std::vector<std::uint8_t> bytes;
    appendWord(bytes, 0);
    appendWord(bytes, 1); // an icon, not a cursor
    appendWord(bytes, 1); // one image
    bytes.push_back(iconSize);
    bytes.push_back(iconSize);
    bytes.push_back(16); // palette entries
    bytes.push_back(0);
    appendWord(bytes, 1); // planes
    appendWord(bytes, 4); // bits per pixel
    appendLong(bytes, resourceSize);
    appendLong(bytes, directorySize);

    appendLong(bytes, headerSize);
    appendLong(bytes, iconSize);
    // The height covers the colour image and the transparency mask stacked on top of it.
    appendLong(bytes, iconSize * 2);
    appendWord(bytes, 1);
    appendWord(bytes, 4);
    appendLong(bytes, 0); // uncompressed
    appendLong(bytes, imageSize);
    appendLong(bytes, 0);
    appendLong(bytes, 0);
    appendLong(bytes, 16);
    appendLong(bytes, 0);

    for (const PaletteEntry& entry : vgaPalette) {
        bytes.push_back(entry.blue);
        bytes.push_back(entry.green);
        bytes.push_back(entry.red);
        bytes.push_back(0);
    }
    for (int y = iconSize - 1; y >= 0; --y) {
        const auto& row = picture.colours[static_cast<std::size_t>(y)];
        const auto& opaque = picture.opaque[static_cast<std::size_t>(y)];
        for (std::size_t x = 0; x < iconSize; x += 2) {
            // Transparent pixels keep colour 0 so that the mask alone decides what shows.
            const std::uint8_t left = opaque[x] ? row[x] : black;
            const std::uint8_t right = opaque[x + 1] ? row[x + 1] : black;
            bytes.push_back(static_cast<std::uint8_t>((left << 4) | right));
        }
    }
    for (int y = iconSize - 1; y >= 0; --y) {
        const auto& opaque = picture.opaque[static_cast<std::size_t>(y)];
        for (std::size_t byte = 0; byte < maskRowSize; ++byte) {
            std::uint8_t bits = 0;
            for (std::size_t bit = 0; bit < 8; ++bit) {
                const std::size_t x = byte * 8 + bit;
                if (x < iconSize && !opaque[x]) {
                    bits = static_cast<std::uint8_t>(bits | (0x80 >> bit));
                }
            }
            bytes.push_back(bits);
        }
    }
    return bytes;
}

} // namespace

int main(int argumentCount, char** arguments) {
    if (argumentCount != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.ico\n", arguments[0]);
        return 2;
    }
    const std::vector<std::uint8_t> bytes = encodeIcon(drawIcon());
    std::FILE* file = std::fopen(arguments[1], "wb");
    if (file == nullptr) {
        std::perror(arguments[1]);
        return 1;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "%s: write failed\n", arguments[1]);
        return 1;
    }
    std::printf("%s: %zu bytes\n", arguments[1], bytes.size());
    return 0;
}
