#include "Graphics.h"

#include <QImage>

#include <algorithm>

namespace {
std::vector<TPicture::FileFormat>& registry() {
    static std::vector<TPicture::FileFormat> formats;
    return formats;
}
} // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    FGraphic = std::move(graphic);
    FData.clear();
    FDataKind.clear();
    if (FGraphic)
        FGraphic->OnChange = [this](TObject*) {
            Changed();
        };
    Changed();
}

void TPicture::Assign(const TPicture& source) {
    if (&source == this)
        return;
    if (!source.FDataKind.empty()) {
        LoadFromData(source.FDataKind, source.FData);
    } else if (auto* bitmap = dynamic_cast<const TBitmap*>(source.FGraphic.get())) {
        auto copy = std::make_unique<TBitmap>();
        copy->Image() = bitmap->Image();
        SetGraphic(std::move(copy));
    } else {
        SetGraphic(nullptr);
    }
}

void TPicture::LoadFromData(const std::string& graphicClassName, const std::vector<uint8_t>& bytes) {
    const auto& formats = registry();
    auto found = std::find_if(formats.begin(), formats.end(),
                              [&](const FileFormat& f) { return f.GraphicClassName == graphicClassName; });
    if (found == formats.end())
        throw EInvalidGraphic("Unknown picture kind '" + graphicClassName +
                              "': no picture format of that kind is registered");
    std::unique_ptr<TGraphic> graphic = found->Factory();
    // Decode fully before anything changes, so a bad picture leaves the old one in place.
    graphic->LoadFromBytes(bytes.data(), bytes.size());
    SetGraphic(std::move(graphic));
    FData = bytes;
    FDataKind = graphicClassName;
}

void TPicture::Changed() {
    if (OnChange)
        OnChange(this);
}

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  const std::string& graphicClassName, GraphicFactory factory) {
    registry().push_back({extension, description, graphicClassName, std::move(factory)});
}

void TPicture::UnregisterGraphicClass(const std::string& graphicClassName) {
    auto& formats = registry();
    std::erase_if(formats, [&](const FileFormat& f) { return f.GraphicClassName == graphicClassName; });
}

const std::vector<TPicture::FileFormat>& TPicture::FileFormats() {
    return registry();
}
