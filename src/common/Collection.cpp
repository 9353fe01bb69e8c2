#include <velmarith/Collection.h>

#include <velmarith/Error.h>

namespace velmarith {
namespace {

[[noreturn]] void throwBadIndex(const QString &what)
{
    throw Error(ErrorNumber::InvalidArgument, QStringLiteral("集合中没有这一项：%1").arg(what));
}

} // namespace

void Collection::Add(Variant item, const QString &key)
{
    if (!key.isEmpty()) {
        const QString folded = foldedKey(key);
        if (mKeyIndex.contains(folded))
            throw Error(ErrorNumber::DuplicateKey, QStringLiteral("集合中已有关键字“%1”").arg(key));
        mKeyIndex.insert(folded, Count());
    }
    mItems.push_back({std::move(item), key});
}

const Variant &Collection::Item(int index) const
{
    if (index < 1 || index > Count())
        throwBadIndex(QString::number(index));
    return mItems[size_t(index - 1)].value;
}

const Variant &Collection::Item(const QString &key) const
{
    const int index = indexOfKey(key);
    if (index < 0)
        throwBadIndex(key);
    return mItems[size_t(index)].value;
}

bool Collection::contains(const QString &key) const
{
    return indexOfKey(key) >= 0;
}

void Collection::Remove(int index)
{
    if (index < 1 || index > Count())
        throwBadIndex(QString::number(index));
    mItems.erase(mItems.begin() + (index - 1));
    rebuildKeyIndex();
}

void Collection::Remove(const QString &key)
{
    const int index = indexOfKey(key);
    if (index < 0)
        throwBadIndex(key);
    Remove(index + 1);
}

void Collection::clear()
{
    mItems.clear();
    mKeyIndex.clear();
}

int Collection::indexOfKey(const QString &key) const
{
    if (key.isEmpty())
        return -1;
    return mKeyIndex.value(foldedKey(key), -1);
}

void Collection::rebuildKeyIndex()
{
    mKeyIndex.clear();
    for (int i = 0; i < Count(); ++i) {
        if (!mItems[size_t(i)].key.isEmpty())
            mKeyIndex.insert(foldedKey(mItems[size_t(i)].key), i);
    }
}

} // namespace velmarith
