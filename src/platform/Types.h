// Basic value types shared by the whole platform layer: colours, points, rectangles,
// window messages, the error classes and the rounding rule used in layout arithmetic.
#pragma once

#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>

// A colour: $00BBGGRR when zero or positive, a system colour by index in the low byte when negative.
using TColor = int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGray = 0x808080;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = static_cast<TColor>(0x8000000F);
constexpr TColor clWindow = static_cast<TColor>(0x80000005);
constexpr TColor clWindowText = static_cast<TColor>(0x80000008);
constexpr TColor clNone = 0x1FFFFFFF;

// Resolves a system colour to its RGB value ($00BBGGRR); plain colours pass through.
TColor ColorToRGB(TColor color);
inline uint8_t GetRValue(TColor c) {
    return static_cast<uint8_t>(c & 0xFF);
}
inline uint8_t GetGValue(TColor c) {
    return static_cast<uint8_t>((c >> 8) & 0xFF);
}
inline uint8_t GetBValue(TColor c) {
    return static_cast<uint8_t>((c >> 16) & 0xFF);
}
inline constexpr TColor RGB(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

struct TPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TPoint&) const = default;
};

// Right and bottom lie outside the rectangle, as everywhere in the platform.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

inline TRect Rect(int left, int top, int right, int bottom) {
    return {left, top, right, bottom};
}
inline TRect Bounds(int left, int top, int width, int height) {
    return {left, top, left + width, top + height};
}
inline bool PtInRect(const TRect& r, TPoint p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

// Nearest integer, a half going to the even neighbour (4.5 gives 4, 2.5 gives 2).
inline int RoundHalfEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

enum TAlign : uint8_t { alNone, alTop, alBottom, alLeft, alRight, alClient };

enum TAnchorKind : uint8_t { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = uint8_t;
constexpr TAnchors DefaultAnchors = akLeft | akTop;

enum TBorderStyle : uint8_t { bsNone, bsSingle };
enum TBevelCut : uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

// Window messages. The numbers the program relies on are the ones its host platform uses;
// the platform's private notifications (CM_...) have numbers of our own.
struct TMessage {
    uint32_t Msg = 0;
    intptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_QUERYNEWPALETTE = 0x030F;
constexpr uint32_t WM_USER = 0x0400;
constexpr uint32_t WA_INACTIVE = 0;
constexpr uint32_t WA_ACTIVE = 1;
constexpr uint32_t WA_CLICKACTIVE = 2;

constexpr uint32_t CM_BASE = 0xB000;
constexpr uint32_t CM_MOUSEENTER = CM_BASE + 1;
constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 2;
constexpr uint32_t CM_ENTER = CM_BASE + 3;
constexpr uint32_t CM_EXIT = CM_BASE + 4;

// Message-box flags and answers.
constexpr int MB_OK = 0x0;
constexpr int MB_OKCANCEL = 0x1;
constexpr int MB_YESNO = 0x4;
constexpr int MB_RETRYCANCEL = 0x5;
constexpr int MB_ICONERROR = 0x10;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_ICONINFORMATION = 0x40;
constexpr int MB_DEFBUTTON2 = 0x100;
constexpr int MB_TOPMOST = 0x40000;
constexpr int MB_SETFOREGROUND = 0x10000;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDRETRY = 4;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The error classes. Every error the program reports carries a readable message.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

class EInvalidCast : public Exception {
public:
    EInvalidCast() : Exception("Invalid class typecast") {}
};

class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};

class EComponentError : public Exception {
public:
    using Exception::Exception;
};

class EStringListError : public Exception {
public:
    using Exception::Exception;
};
