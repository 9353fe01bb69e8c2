#include "maintenance/ItemPair.h"

namespace velmarith::ItemPair {

namespace {
const QString kFieldKey = QStringLiteral("项目名称");
const QString kValueKey = QStringLiteral("项目内容");
} // namespace

std::shared_ptr<Collection> make(const QString &field, const QString &value)
{
    auto pair = std::make_shared<Collection>();
    pair->Add(field, kFieldKey);
    pair->Add(value, kValueKey);
    return pair;
}

QString field(const Collection &pair)
{
    return pair.Item(kFieldKey).toString();
}

QString value(const Collection &pair)
{
    return pair.Item(kValueKey).toString();
}

} // namespace velmarith::ItemPair
