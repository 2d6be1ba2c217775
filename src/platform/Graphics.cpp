#include "Graphics.h"

#include "QtConversions.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

TColor ColorToRGB(TColor color) {
    if (color >= 0)
        return color;
    switch (color & 0xFF) {
    case 0x05:
        return RGB(255, 255, 255); // window background
    case 0x08:
        return RGB(0, 0, 0); // window text
    case 0x0F:
        return RGB(240, 240, 240); // button face
    case 0x12:
        return RGB(0, 0, 0); // button text
    case 0x10:
        return RGB(160, 160, 160); // button shadow
    case 0x14:
        return RGB(255, 255, 255); // button highlight
    default:
        return RGB(192, 192, 192);
    }
}

namespace {

// Opens a painter on the canvas's target with its origin and clip, antialiasing off.
class CanvasPainter : public QPainter {
public:
    explicit CanvasPainter(const TCanvas& canvas) : QPainter(canvas.Target()) {
        setRenderHint(QPainter::Antialiasing, false);
        TRect clip = canvas.TargetClip();
        setClipRect(QRect(clip.Left, clip.Top, clip.Width(), clip.Height()));
        translate(canvas.Origin().X, canvas.Origin().Y);
    }
};

// With a pen, a 1-pixel outline lies on the figure's outermost pixels; without one the fill
// covers the whole box. Either way nothing is drawn on the right and bottom edges themselves.
QRect figureRect(const TPen& pen, int left, int top, int right, int bottom, bool& hasPen) {
    hasPen = pen.Style != psClear;
    if (hasPen)
        return QRect(left, top, right - left - 1, bottom - top - 1);
    return QRect(left, top, right - left, bottom - top);
}

void preparePainter(QPainter& painter, const TPen& pen, const TBrush& brush) {
    if (pen.Style == psClear) {
        painter.setPen(Qt::NoPen);
    } else {
        QPen qpen(platform::toQColor(pen.Color));
        qpen.setWidth(std::max(1, pen.Width));
        qpen.setStyle(pen.Style == psDash ? Qt::DashLine : pen.Style == psDot ? Qt::DotLine : Qt::SolidLine);
        qpen.setCosmetic(pen.Width <= 1);
        painter.setPen(qpen);
    }
    if (brush.Style == bsClear)
        painter.setBrush(Qt::NoBrush);
    else
        painter.setBrush(platform::toQColor(brush.Color));
}

// One row of a figure: its first and last pixel column, relative to the figure's box.
struct Span {
    int First;
    int Last;
};

// Row `row` of the ellipse inscribed in a width x height box. A pixel belongs to the ellipse when
// its centre lies inside; a row too short to hold a centre keeps its middle pixel or pair, so the
// figure touches all four sides of its box. The result is mirror-symmetric in both axes.
Span ellipseRow(int width, int height, int row) {
    constexpr double tolerance = 1e-9;
    double halfWidth = width / 2.0, halfHeight = height / 2.0;
    double v = (row + 0.5 - halfHeight) / halfHeight;
    double reach = halfWidth * std::sqrt(std::max(0.0, 1.0 - v * v));
    int first = static_cast<int>(std::ceil(halfWidth - 0.5 - reach - tolerance));
    int last = static_cast<int>(std::floor(halfWidth - 0.5 + reach + tolerance));
    if (first > last)
        return {(width - 1) / 2, width / 2};
    return {first, last};
}

std::vector<Span> ellipseRows(int width, int height) {
    std::vector<Span> rows(height);
    for (int row = 0; row < height; ++row)
        rows[row] = ellipseRow(width, height, row);
    return rows;
}

// A rectangle whose corners are quarters of a cornerWidth x cornerHeight ellipse.
std::vector<Span> roundRectRows(int width, int height, int cornerWidth, int cornerHeight) {
    cornerWidth = std::clamp(cornerWidth, 0, width);
    cornerHeight = std::clamp(cornerHeight, 0, height);
    std::vector<Span> rows(height, Span{0, width - 1});
    if (cornerWidth == 0 || cornerHeight == 0)
        return rows;
    for (int row = 0; row < height; ++row) {
        int cornerRow;
        if (row + 0.5 < cornerHeight / 2.0)
            cornerRow = row;
        else if (height - row - 0.5 < cornerHeight / 2.0)
            cornerRow = cornerHeight - (height - row);
        else
            continue;
        int inset = ellipseRow(cornerWidth, cornerHeight, cornerRow).First;
        rows[row] = {inset, width - 1 - inset};
    }
    return rows;
}

// Draws a figure given row by row with its box's top-left corner at (left, top): the pen covers
// the figure's outermost pixels (Pen.Width deep), the brush the rest; nothing outside the box.
// Painting pixel by pixel keeps figures exactly symmetric, which Qt's aliased rasteriser does not.
void paintFigure(const TCanvas& canvas, int left, int top, const std::vector<Span>& rows) {
    const TPen& pen = canvas.Pen;
    bool outlined = pen.Style != psClear;
    bool filled = canvas.Brush.Style != bsClear;
    if (!outlined && !filled)
        return;
    auto rgbOf = [](TColor color) {
        TColor rgb = ColorToRGB(color);
        return qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    };
    QRgb penColor = rgbOf(pen.Color), brushColor = rgbOf(canvas.Brush.Color);
    int penWidth = std::max(1, pen.Width);
    int height = static_cast<int>(rows.size());
    auto inside = [&](int column, int row) {
        return row >= 0 && row < height && column >= rows[row].First && column <= rows[row].Last;
    };
    // Rows are single spans, so a horizontal run is inside when both its ends are.
    auto onOutline = [&](int column, int row) {
        for (int dy = -penWidth; dy <= penWidth; ++dy) {
            int reach = penWidth - std::abs(dy);
            if (!inside(column - reach, row + dy) || !inside(column + reach, row + dy))
                return true;
        }
        return false;
    };
    QImage* target = canvas.Target();
    TRect clip = canvas.TargetClip();
    TPoint origin = canvas.Origin();
    bool direct = target->format() == QImage::Format_RGB32 || target->format() == QImage::Format_ARGB32;
    for (int row = 0; row < height; ++row) {
        int y = origin.Y + top + row;
        if (y < clip.Top || y >= clip.Bottom)
            continue;
        int firstX = std::max(origin.X + left + rows[row].First, clip.Left);
        int lastX = std::min(origin.X + left + rows[row].Last, clip.Right - 1);
        for (int x = firstX; x <= lastX; ++x) {
            int column = x - origin.X - left;
            QRgb color;
            if (outlined && onOutline(column, row))
                color = penColor;
            else if (filled)
                color = brushColor;
            else
                continue;
            if (direct)
                reinterpret_cast<QRgb*>(target->scanLine(y))[x] = color;
            else
                target->setPixel(x, y, color);
        }
    }
}

// Dashed and dotted outlines only appear in design outlines; Qt draws them.
bool drawnByQt(const TPen& pen) {
    return pen.Style == psDash || pen.Style == psDot;
}
} // namespace

int TFont::Size() const {
    return Height < 0 ? RoundHalfEven(-static_cast<double>(Height) * 72.0 / 96.0) : Height;
}
void TFont::SetSize(int points) {
    Height = -RoundHalfEven(points * 96.0 / 72.0);
}

void TGraphic::SetTransparent(bool value) {
    if (value != FTransparent) {
        FTransparent = value;
        Changed();
    }
}

void TGraphic::Changed() {
    if (OnChange)
        OnChange(this);
}

// --- TBitmap ---

TBitmap::TBitmap() : FImage(std::make_unique<QImage>()) {}
TBitmap::~TBitmap() = default;

int TBitmap::Width() const {
    return FImage->width();
}
int TBitmap::Height() const {
    return FImage->height();
}

void TBitmap::SetSize(int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (width == Width() && height == Height())
        return;
    if (width == 0 || height == 0) {
        *FImage = QImage();
    } else {
        QImage resized(width, height, QImage::Format_RGB32);
        resized.fill(Qt::white);
        if (!FImage->isNull()) {
            QPainter painter(&resized);
            painter.drawImage(0, 0, *FImage);
        }
        *FImage = std::move(resized);
    }
    FCanvas.reset();
    Changed();
}

uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= Height())
        throw Exception("Scan line index out of range");
    return FImage->scanLine(row);
}

const uint8_t* TBitmap::ScanLine(int row) const {
    if (row < 0 || row >= Height())
        throw Exception("Scan line index out of range");
    return FImage->constScanLine(row);
}

TCanvas& TBitmap::Canvas() {
    if (!FCanvas)
        FCanvas = std::make_unique<TCanvas>(FImage.get());
    return *FCanvas;
}

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) const {
    if (FImage->isNull() || rect.Width() <= 0 || rect.Height() <= 0)
        return;
    CanvasPainter painter(canvas);
    QRect target(rect.Left, rect.Top, rect.Width(), rect.Height());
    if (target.size() == FImage->size()) {
        painter.drawImage(target.topLeft(), *FImage);
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter.drawImage(target, *FImage);
    }
}

void TBitmap::LoadFromBytes(const uint8_t* data, size_t size) {
    QImage loaded;
    if (!loaded.loadFromData(data, static_cast<int>(size), "BMP"))
        throw EInvalidGraphic("Bitmap image is not valid");
    *FImage = loaded.convertToFormat(QImage::Format_RGB32);
    FCanvas.reset();
    Changed();
}

// --- TCanvas ---

TCanvas::TCanvas(QImage* target, TPoint origin, TRect clip) : FTarget(target), FOrigin(origin), FClip(clip) {}

TCanvas::TCanvas(QImage* target) : FTarget(target), FWholeTarget(true) {}

TRect TCanvas::TargetClip() const {
    TRect clip = FWholeTarget ? TRect{0, 0, FTarget->width(), FTarget->height()} : FClip;
    clip.Left = std::max(clip.Left, 0);
    clip.Top = std::max(clip.Top, 0);
    clip.Right = std::min(clip.Right, FTarget->width());
    clip.Bottom = std::min(clip.Bottom, FTarget->height());
    // An empty clip stays empty: Qt would turn an inverted rectangle the right way round.
    clip.Right = std::max(clip.Right, clip.Left);
    clip.Bottom = std::max(clip.Bottom, clip.Top);
    return clip;
}

TRect TCanvas::ClipRect() const {
    TRect clip = TargetClip();
    return {clip.Left - FOrigin.X, clip.Top - FOrigin.Y, clip.Right - FOrigin.X, clip.Bottom - FOrigin.Y};
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    if (!drawnByQt(Pen)) {
        paintFigure(*this, left, top, std::vector<Span>(bottom - top, Span{0, right - left - 1}));
        return;
    }
    CanvasPainter painter(*this);
    preparePainter(painter, Pen, Brush);
    bool hasPen = false;
    painter.drawRect(figureRect(Pen, left, top, right, bottom, hasPen));
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
    if (right <= left || bottom <= top)
        return;
    if (!drawnByQt(Pen)) {
        paintFigure(*this, left, top, roundRectRows(right - left, bottom - top, cornerWidth, cornerHeight));
        return;
    }
    CanvasPainter painter(*this);
    preparePainter(painter, Pen, Brush);
    bool hasPen = false;
    QRect r = figureRect(Pen, left, top, right, bottom, hasPen);
    painter.drawRoundedRect(r, cornerWidth / 2.0, cornerHeight / 2.0, Qt::AbsoluteSize);
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    if (!drawnByQt(Pen)) {
        paintFigure(*this, left, top, ellipseRows(right - left, bottom - top));
        return;
    }
    CanvasPainter painter(*this);
    preparePainter(painter, Pen, Brush);
    bool hasPen = false;
    QRect r = figureRect(Pen, left, top, right, bottom, hasPen);
    painter.drawEllipse(r);
}

void TCanvas::FillRect(const TRect& rect) {
    if (rect.Width() <= 0 || rect.Height() <= 0 || Brush.Style == bsClear)
        return;
    CanvasPainter painter(*this);
    painter.fillRect(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()),
                     platform::toQColor(Brush.Color));
}

int TCanvas::TextWidth(const std::string& text) const {
    return QFontMetrics(platform::toQFont(Font)).horizontalAdvance(QString::fromStdString(text));
}

int TCanvas::TextHeight(const std::string&) const {
    return QFontMetrics(platform::toQFont(Font)).height();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
    CanvasPainter painter(*this);
    painter.setFont(platform::toQFont(Font));
    painter.setPen(platform::toQColor(Font.Color));
    QFontMetrics metrics(painter.font());
    if (Brush.Style != bsClear) {
        QRect box(x, y, metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height());
        painter.fillRect(box, platform::toQColor(Brush.Color));
    }
    painter.drawText(x, y + metrics.ascent(), QString::fromStdString(text));
}

TColor TCanvas::Pixel(int x, int y) const {
    TPoint p{x + FOrigin.X, y + FOrigin.Y};
    if (!PtInRect(TargetClip(), p))
        return clNone;
    QRgb value = FTarget->pixel(p.X, p.Y);
    return RGB(qRed(value), qGreen(value), qBlue(value));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
    TPoint p{x + FOrigin.X, y + FOrigin.Y};
    if (!PtInRect(TargetClip(), p))
        return;
    TColor rgb = ColorToRGB(color);
    FTarget->setPixel(p.X, p.Y, qRgb(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb)));
}

void TCanvas::StretchDraw(const TRect& rect, const TGraphic& graphic) {
    graphic.Draw(*this, rect);
}

void TCanvas::Draw(int x, int y, const TGraphic& graphic) {
    graphic.Draw(*this, Bounds(x, y, graphic.Width(), graphic.Height()));
}

void TCanvas::CopyRect(const TRect& dest, const TCanvas& source, const TRect& sourceRect) {
    if (dest.Width() <= 0 || dest.Height() <= 0 || sourceRect.Width() <= 0 || sourceRect.Height() <= 0)
        return;
    QRect from(sourceRect.Left + source.FOrigin.X, sourceRect.Top + source.FOrigin.Y, sourceRect.Width(),
               sourceRect.Height());
    QRect to(dest.Left + FOrigin.X, dest.Top + FOrigin.Y, dest.Width(), dest.Height());
    TRect clip = TargetClip();
    QRect clipRect(clip.Left, clip.Top, clip.Width(), clip.Height());
    if (from.size() == to.size() && source.FTarget != FTarget &&
        FTarget->format() == source.FTarget->format()) {
        // Plain block copy, row by row: the common case of painting a ready bitmap.
        QRect visible = to.intersected(clipRect);
        int shift = to.left() - from.left(); // target column minus source column
        int sourceWidth = source.FTarget->width();
        int xStart = std::max(visible.left(), shift);
        int xEnd = std::min(visible.right(), shift + sourceWidth - 1);
        for (int y = visible.top(); y <= visible.bottom() && xStart <= xEnd; ++y) {
            int sy = y - to.top() + from.top();
            if (sy < 0 || sy >= source.FTarget->height())
                continue;
            auto* dst = reinterpret_cast<QRgb*>(FTarget->scanLine(y)) + xStart;
            auto* src = reinterpret_cast<const QRgb*>(source.FTarget->constScanLine(sy)) + (xStart - shift);
            std::copy(src, src + (xEnd - xStart + 1), dst);
        }
        return;
    }
    QImage copy = source.FTarget->copy(from);
    QPainter painter(FTarget);
    painter.setClipRect(clipRect);
    painter.drawImage(to, copy);
}
