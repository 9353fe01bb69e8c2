#include "toolkit/Accessibility.h"

#include "toolkit/FormWindow.h"
#include "toolkit/SpokenText.h"

#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>

#include <memory>
#include <vector>

namespace velmarith::toolkit {
namespace {

constexpr char kDecorative[] = "velmarithDecorative";

bool isInForm(const QWidget *widget)
{
    return qobject_cast<const FormWindow *>(widget->window()) != nullptr;
}

// A form, picture box, frame or tab page: its children are the controls that are not hidden
// (by the work mode, or by lying on another tab) and not mere decoration.
class ContainerAccessible final : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    [[nodiscard]] int childCount() const override { return int(exposedChildren().size()); }

    [[nodiscard]] QAccessibleInterface *child(int index) const override
    {
        const QWidgetList children = exposedChildren();
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
    }

    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child ? int(exposedChildren().indexOf(qobject_cast<QWidget *>(child->object()))) : -1;
    }

private:
    [[nodiscard]] QWidgetList exposedChildren() const
    {
        QWidgetList exposed;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !child->isHidden() && !child->property(kDecorative).toBool())
                exposed.append(child);
        }
        return exposed;
    }
};

// An entry of a combo box's list; pressing it chooses the entry as a click in the list would.
class ComboItemAccessible final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    ComboItemAccessible(QComboBox *combo, int row) : mCombo(combo), mRow(row) {}

    [[nodiscard]] bool isValid() const override { return mCombo && mRow < mCombo->count(); }
    [[nodiscard]] QObject *object() const override { return nullptr; }
    [[nodiscard]] QWindow *window() const override { return mCombo ? mCombo->window()->windowHandle() : nullptr; }
    [[nodiscard]] QAccessibleInterface *parent() const override
    {
        return mCombo ? QAccessible::queryAccessibleInterface(mCombo.data()) : nullptr;
    }
    [[nodiscard]] QAccessibleInterface *child(int) const override { return nullptr; }
    [[nodiscard]] int childCount() const override { return 0; }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    [[nodiscard]] QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    [[nodiscard]] QAccessibleInterface *focusChild() const override { return nullptr; }

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Name || !isValid())
            return {};
        const QString entry = mCombo->itemText(mRow);
        return entry.isEmpty() ? spokenBlank() : entry;
    }
    void setText(QAccessible::Text, const QString &) override {}
    [[nodiscard]] QRect rect() const override
    {
        return mCombo ? QRect(mCombo->mapToGlobal(QPoint(0, 0)), mCombo->size()) : QRect();
    }
    [[nodiscard]] QAccessible::Role role() const override { return QAccessible::ListItem; }
    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && mCombo->currentIndex() == mRow;
        state.invisible = !mCombo || !mCombo->isVisible();
        state.disabled = mCombo && !mCombo->isEnabled();
        return state;
    }
    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    [[nodiscard]] QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &action) override
    {
        if (action != pressAction() || !isValid() || !mCombo->isEnabled())
            return;
        mCombo->setCurrentIndex(mRow);
        emit mCombo->activated(mRow);
    }
    [[nodiscard]] QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<QComboBox> mCombo;
    int mRow;
};

// Qt's own combo box on Linux is named by its current text, so an empty one is unnamed and a
// filled one is announced by its value; and its list items cannot be chosen through the
// accessibility layer. This one is named by its label, gives its text as the value, and
// offers its entries (then its line edit) as children.
class ComboBoxAccessible final : public QAccessibleWidget
{
public:
    explicit ComboBoxAccessible(QComboBox *combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox), mItems(std::make_shared<std::vector<QAccessible::Id>>())
    {
        // The items have no object of their own; they go with the combo box.
        QObject::connect(combo, &QObject::destroyed, [items = mItems] {
            for (const QAccessible::Id id : *items)
                QAccessible::deleteAccessibleInterface(id);
        });
    }

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] int childCount() const override { return combo()->count() + (combo()->lineEdit() ? 1 : 0); }

    [[nodiscard]] QAccessibleInterface *child(int index) const override
    {
        if (index >= 0 && index < combo()->count())
            return item(index);
        if (index == combo()->count() && combo()->lineEdit())
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }

    [[nodiscard]] int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child)
            return -1;
        if (child->object() && child->object() == combo()->lineEdit())
            return combo()->count();
        for (int row = 0; row < combo()->count() && row < int(mItems->size()); ++row) {
            if (QAccessible::accessibleInterface((*mItems)[size_t(row)]) == child)
                return row;
        }
        return -1;
    }

    [[nodiscard]] QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }
    void doAction(const QString &action) override
    {
        if (action == showMenuAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    [[nodiscard]] QComboBox *combo() const { return static_cast<QComboBox *>(widget()); }

    [[nodiscard]] QAccessibleInterface *item(int row) const
    {
        while (int(mItems->size()) <= row)
            mItems->push_back(QAccessible::registerAccessibleInterface(new ComboItemAccessible(combo(), int(mItems->size()))));
        return QAccessible::accessibleInterface((*mItems)[size_t(row)]);
    }

    std::shared_ptr<std::vector<QAccessible::Id>> mItems;
};

QAccessibleInterface *accessibleOf(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    // Asked once per class of the object's hierarchy: answer for the object's own class only.
    if (!widget || className != QLatin1String(object->metaObject()->className()) || !isInForm(widget))
        return nullptr;
    if (qobject_cast<FormWindow *>(widget))
        return new ContainerAccessible(widget, QAccessible::Dialog);
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return new ComboBoxAccessible(combo);
    if (className == u"QWidget" || className == u"QFrame")
        return new ContainerAccessible(widget, QAccessible::Pane);
    return nullptr;
}

} // namespace

void installAccessibility()
{
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(&accessibleOf);
        return true;
    }();
}

void markDecorative(QWidget *widget)
{
    widget->setProperty(kDecorative, true);
}

} // namespace velmarith::toolkit
