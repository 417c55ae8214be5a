#pragma once

#include <QPointer>
#include <QString>

#include <memory>
#include <vector>

class QWidget;

namespace quibo {

class QuiboButton;

// A window as a forms host of its command buttons: one site per button answers that button's
// ambient properties at run time. A button displays as default while it holds the window's focus,
// and the window's default button (if it has one) while no other button holds it. The window
// calls FollowFocus after every focus move; the buttons whose answer changed then hear the ambient
// change, the one that stops displaying first, so at most one button ever takes Enter.
// The sites must outlive the buttons; user-interface thread only.
class ButtonSites {
public:
    explicit ButtonSites(QWidget& window);
    ~ButtonSites();
    ButtonSites(const ButtonSites&) = delete;
    ButtonSites& operator=(const ButtonSites&) = delete;

    // A new run-time button in a site of its own.
    QuiboButton* NewButton(const QString& name, const QString& caption, QWidget* parent);
    // The button Enter clicks while no button holds the focus; nullptr for none.
    void SetDefaultButton(QuiboButton* button);
    void FollowFocus();

    // The button that displays as default now; nullptr for none.
    QuiboButton* Displayed() const { return m_displayed; }

private:
    class Site;
    QuiboButton* ShouldDisplay() const;

    QWidget& m_window;
    std::vector<std::unique_ptr<Site>> m_sites;
    QPointer<QuiboButton> m_default;
    QPointer<QuiboButton> m_displayed;
};

} // namespace quibo
