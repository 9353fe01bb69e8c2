#include <velmarith/Collection.h>

#include <velmarith/Error.h>

#include <QHash>

#include <vector>

namespace velmarith {
namespace {

[[noreturn]] void throwBadIndex(const QString &what)
{
    throw Error(ErrorNumber::InvalidArgument, QStringLiteral("集合中没有这一项：%1").arg(what));
}

QString foldedKey(const QString &key)
{
    return key.toCaseFolded();
}

} // namespace

// Nested in an exported class, but no part of the API.
class VELMARITH_NO_EXPORT Collection::Private
{
public:
    [[nodiscard]] int indexOfKey(const QString &key) const;
    void rebuildKeyIndex();

    struct Entry {
        Variant value;
        QString key;
    };
    std::vector<Entry> items;
    QHash<QString, int> keyIndex; // folded key → 0-based position
};

Collection::Collection()
    : d(std::make_unique<Private>())
{
}

Collection::Collection(const Collection &other)
    : d(std::make_unique<Private>(*other.d))
{
}

Collection &Collection::operator=(const Collection &other)
{
    *d = *other.d;
    return *this;
}

Collection::~Collection() = default;

int Collection::Count() const
{
    return static_cast<int>(d->items.size());
}

void Collection::Add(Variant item, const QString &key)
{
    if (!key.isEmpty()) {
        const QString folded = foldedKey(key);
        if (d->keyIndex.contains(folded))
            throw Error(ErrorNumber::DuplicateKey, QStringLiteral("集合中已有关键字“%1”").arg(key));
        d->keyIndex.insert(folded, Count());
    }
    d->items.push_back({std::move(item), key});
}

const Variant &Collection::Item(int index) const
{
    if (index < 1 || index > Count())
        throwBadIndex(QString::number(index));
    return d->items[size_t(index - 1)].value;
}

const Variant &Collection::Item(const QString &key) const
{
    const int index = d->indexOfKey(key);
    if (index < 0)
        throwBadIndex(key);
    return d->items[size_t(index)].value;
}

bool Collection::contains(const QString &key) const
{
    return d->indexOfKey(key) >= 0;
}

void Collection::Remove(int index)
{
    if (index < 1 || index > Count())
        throwBadIndex(QString::number(index));
    d->items.erase(d->items.begin() + (index - 1));
    d->rebuildKeyIndex();
}

void Collection::Remove(const QString &key)
{
    const int index = d->indexOfKey(key);
    if (index < 0)
        throwBadIndex(key);
    Remove(index + 1);
}

void Collection::clear()
{
    d->items.clear();
    d->keyIndex.clear();
}

int Collection::Private::indexOfKey(const QString &key) const
{
    if (key.isEmpty())
        return -1;
    return keyIndex.value(foldedKey(key), -1);
}

void Collection::Private::rebuildKeyIndex()
{
    keyIndex.clear();
    for (size_t i = 0; i < items.size(); ++i) {
        if (!items[i].key.isEmpty())
            keyIndex.insert(foldedKey(items[i].key), int(i));
    }
}

} // namespace velmarith
