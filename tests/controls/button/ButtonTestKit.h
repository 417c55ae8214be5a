#pragma once

#include "controls/button/ButtonHost.h"
#include "controls/button/QuiboButton.h"

#include <functional>
#include <utility>
#include <vector>

namespace quibo {

// A form that records what its buttons tell it.
class TestHost final : public ButtonHost {
public:
    bool userMode = false;
    QFont parentFont = QFont(QStringLiteral("Sans"), 10);
    std::vector<QString> changes;
    std::vector<std::pair<QString, QString>> messages;
    QString accessKeys = QStringLiteral("?");

    bool UserMode() const override { return userMode; }
    QString DisplayName() const override { return QStringLiteral("QuiboButton1"); }
    ButtonColor AmbientBackColor() const override { return 0x00C0C0C0; }
    bool displayAsDefault = false;
    bool DisplayAsDefault() const override { return displayAsDefault; }
    void PropertyChanged(const QString& key) override { changes.push_back(key); }
    void SetAccessKeys(const QString& keys) override { accessKeys = keys; }
    QFont ParentFont() const override { return parentFont; }
    ButtonColor ParentBackColor() const override { return 0x00E0E0E0; }
    QString ContainerHandle() const override { return QStringLiteral("4242"); }
    void ShowDesignMessage(const QString& text, const QString& title) override {
        messages.emplace_back(text, title);
    }
};

// A button that counts its redraws and region rebuilds and records its option-group calls.
class ProbeButton final : public QuiboButton {
public:
    explicit ProbeButton(TestHost& host, int w = 100, int h = 40) : QuiboButton(host) {
        UserControl_InitProperties();
        resize(w, h);
        UserControl_Resize();
        host.changes.clear();
    }
    int redraws = 0;
    int regions = 0;
    std::vector<int> options;
    // Plays the drop target of a drag the button starts.
    std::function<Qt::DropAction(QDrag&, Qt::DropActions)> dropTarget;
    void SetStateFlags(std::int16_t flags) { m_stateFlags = flags; }
    void SetHover(bool hover) { m_hover = hover; }
    QRgb At(int x, int y) const { return BackBuffer().pixel(x, y) & 0xFFFFFF; }
    QRgb Shown(int x, int y) const { return Surface().pixel(x, y) & 0xFFFFFF; }
    std::int16_t Frame() {
        std::int16_t proceed = -1;
        FrameShapeRegion(proceed);
        return proceed;
    }

protected:
    void RedrawButton() override {
        if (!DrawingDelayed()) ++redraws;
        QuiboButton::RedrawButton();
    }
    void CreateShapeRegion() override {
        ++regions;
        QuiboButton::CreateShapeRegion();
    }
    void OptionToggle(std::int16_t action, bool& result) override {
        options.push_back(action);
        QuiboButton::OptionToggle(action, result);
    }
    int ScreenExtent(bool) const override { return 1024; }
    Qt::DropAction ExecDrag(QDrag& drag, Qt::DropActions allowed) override {
        return dropTarget ? dropTarget(drag, allowed) : QuiboButton::ExecDrag(drag, allowed);
    }
};

// A 16 x 16 bitmap on magenta with a black 4 x 4 square at (6, 6).
inline ButtonPicture SquarePicture(ButtonPicture::Kind kind = ButtonPicture::Kind::Bitmap) {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    for (int y = 6; y < 10; ++y)
        for (int x = 6; x < 10; ++x)
            image.setPixel(x, y, qRgb(0, 0, 0));
    image.setPixel(1, 1, qRgb(253, 2, 255)); // near enough to the key to be keyed out too
    return {image, kind};
}

} // namespace quibo
