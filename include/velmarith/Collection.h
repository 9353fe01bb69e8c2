#pragma once

#include <velmarith/Export.h>
#include <velmarith/Variant.h>

#include <QString>

#include <memory>

namespace velmarith {

/// The automation-style collection passed between the dialogs and to the host: items are
/// addressed from 1, optionally by a text key compared without regard to letter case.
class VELMARITH_EXPORT Collection
{
public:
    Collection();
    Collection(const Collection &other);
    Collection &operator=(const Collection &other);
    ~Collection();

    [[nodiscard]] int Count() const;

    /// Appends an item; a non-empty key must not be in use yet (error 457).
    void Add(Variant item, const QString &key = QString());
    /// Item at a 1-based position; error 5 outside 1..Count.
    [[nodiscard]] const Variant &Item(int index) const;
    /// Item stored under a key (any letter case); error 5 when no item has it.
    [[nodiscard]] const Variant &Item(const QString &key) const;
    [[nodiscard]] bool contains(const QString &key) const;
    /// Removes the item at a 1-based position; error 5 outside 1..Count.
    void Remove(int index);
    /// Removes the item stored under a key; error 5 when no item has it.
    void Remove(const QString &key);
    void clear();

private:
    class Private;
    std::unique_ptr<Private> d;
};

} // namespace velmarith
