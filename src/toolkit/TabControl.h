#pragma once

#include "toolkit/Control.h"

#include <QStringList>

class QTabBar;
class QFrame;

namespace velmarith::toolkit {

/// A tab control: tabs in one row over a page; each control placed on it lies on one tab and is
/// seen only while that tab is shown.
class TabControl final : public Control
{
    Q_OBJECT

public:
    explicit TabControl(const ControlSite &site);
    [[nodiscard]] QString kind() const override { return QStringLiteral("TabDlg.SSTab"); }
    [[nodiscard]] bool canTakeFocus() const override { return true; }

    void setTabs(const QStringList &captions);
    [[nodiscard]] int Tabs() const;
    /// The shown tab, from 0.
    [[nodiscard]] int Tab() const;
    /// Shows a tab; error 380 outside 0..Tabs−1.
    void setTab(int tab);

protected:
    void applyGeometry() override;

private:
    void showControlsOfTab();

    QTabBar *mBar;
    QFrame *mPage;
    static constexpr int kTabHeight = 300; // twips
};

} // namespace velmarith::toolkit
