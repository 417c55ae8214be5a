#include "app/view/ButtonSites.h"

#include "controls/button/ButtonHost.h"
#include "controls/button/QuiboButton.h"

#include <QWidget>

namespace quibo {

namespace {
const QString DisplayAsDefaultName = QStringLiteral("DisplayAsDefault");
} // namespace

// One button's place on the window: at run time, with nothing persisted from it.
class ButtonSites::Site final : public ButtonHost {
public:
    Site(ButtonSites& sites, QWidget& window) : m_sites(sites), m_window(window) {}
    void Attach(QuiboButton* button) { m_button = button; }
    QuiboButton* button() const { return m_button; }

    bool UserMode() const override { return true; }
    QString DisplayName() const override { return {}; }
    ButtonColor AmbientBackColor() const override { return kSysButtonFace; }
    // Asked while the button is being made too, before it has a site.
    bool DisplayAsDefault() const override { return m_button && m_sites.m_displayed == m_button; }
    void PropertyChanged(const QString&) override {}
    void SetAccessKeys(const QString&) override {}
    QFont ParentFont() const override { return m_window.font(); }
    ButtonColor ParentBackColor() const override { return kSysButtonFace; }
    QString ContainerHandle() const override { return QString::number(quintptr(&m_window)); }
    void ShowDesignMessage(const QString&, const QString&) override {}

private:
    ButtonSites& m_sites;
    QWidget& m_window;
    QuiboButton* m_button = nullptr;
};

ButtonSites::ButtonSites(QWidget& window) : m_window(window) {}

ButtonSites::~ButtonSites() = default;

QuiboButton* ButtonSites::NewButton(const QString& name, const QString& caption, QWidget* parent) {
    m_sites.push_back(std::make_unique<Site>(*this, m_window));
    auto* button = new QuiboButton(*m_sites.back(), parent);
    m_sites.back()->Attach(button);
    button->setObjectName(name);
    button->UserControl_InitProperties();
    button->SetCaption(caption);
    return button;
}

void ButtonSites::SetDefaultButton(QuiboButton* button) {
    m_default = button;
    FollowFocus();
}

QuiboButton* ButtonSites::ShouldDisplay() const {
    // The window's focus child stays set while another window is active: the look stays with it.
    QWidget* focus = m_window.focusWidget();
    for (const auto& site : m_sites)
        if (site->button() && site->button() == focus) return site->button();
    return m_default;
}

void ButtonSites::FollowFocus() {
    QuiboButton* next = ShouldDisplay();
    if (next == m_displayed) return;
    const QPointer<QuiboButton> before = m_displayed;
    m_displayed = next;
    if (before) before->UserControl_AmbientChanged(DisplayAsDefaultName);
    if (next) next->UserControl_AmbientChanged(DisplayAsDefaultName);
}

} // namespace quibo
