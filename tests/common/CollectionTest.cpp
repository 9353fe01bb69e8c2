#include <velmarith/Collection.h>
#include <velmarith/Error.h>

#include "support/QtPrinting.h"

#include "support/Errors.h"

#include <gtest/gtest.h>

#include <memory>

using namespace velmarith;
using velmarith::test::errorNumberOf;

TEST(Collection, addressesItemsFromOneAndByKeyInAnyLetterCase)
{
    Collection items;
    items.Add(QStringLiteral("甲"));
    items.Add(int32_t(42), QStringLiteral("Answer"));
    items.Add(2.5, QStringLiteral("编号"));

    EXPECT_EQ(items.Count(), 3);
    EXPECT_EQ(items.Item(1).toString(), u"甲");
    EXPECT_EQ(items.Item(QStringLiteral("ANSWER")).toString(), u"42");
    EXPECT_EQ(items.Item(QStringLiteral("answer")).toString(), u"42");
    EXPECT_EQ(items.Item(QStringLiteral("编号")).toString(), u"2.5");
    EXPECT_EQ(errorNumberOf([&] { (void)items.Item(0); }), ErrorNumber::InvalidArgument);
    EXPECT_EQ(errorNumberOf([&] { (void)items.Item(4); }), ErrorNumber::InvalidArgument);
    EXPECT_EQ(errorNumberOf([&] { (void)items.Item(QStringLiteral("missing")); }), ErrorNumber::InvalidArgument);
}

TEST(Collection, refusesADuplicateKeyAndKeepsItsItems)
{
    Collection items;
    items.Add(QStringLiteral("a"), QStringLiteral("Key"));
    EXPECT_EQ(errorNumberOf([&] { items.Add(QStringLiteral("b"), QStringLiteral("KEY")); }), ErrorNumber::DuplicateKey);
    EXPECT_EQ(items.Count(), 1);
    items.Add(QStringLiteral("c")); // items without a key never clash
    items.Add(QStringLiteral("d"));
    EXPECT_EQ(items.Count(), 3);
}

TEST(Collection, removingAnItemKeepsTheOtherKeysPointingAtTheirItems)
{
    Collection items;
    items.Add(QStringLiteral("one"), QStringLiteral("k1"));
    items.Add(QStringLiteral("two"), QStringLiteral("k2"));
    items.Add(QStringLiteral("three"), QStringLiteral("k3"));

    items.Remove(1);
    EXPECT_EQ(items.Item(QStringLiteral("k3")).toString(), u"three");
    items.Remove(QStringLiteral("K2"));
    EXPECT_EQ(items.Count(), 1);
    EXPECT_EQ(items.Item(1).toString(), u"three");
    EXPECT_FALSE(items.contains(QStringLiteral("k2")));
    items.Add(QStringLiteral("again"), QStringLiteral("k2")); // the key is free again
    EXPECT_EQ(errorNumberOf([&] { items.Remove(5); }), ErrorNumber::InvalidArgument);
}

TEST(Variant, convertsScalarsToTextAndNumbersAndObjectsOnlyToObjects)
{
    EXPECT_EQ(Variant().toString(), u"");
    EXPECT_EQ(Variant(int16_t(-7)).toString(), u"-7");
    EXPECT_EQ(Variant(1e16).toString(), u"1E+16");
    EXPECT_EQ(Variant(true).toString(), u"True");
    EXPECT_EQ(Variant(QStringLiteral("8001.5abc")).toInt16(), 8002);
    EXPECT_EQ(errorNumberOf([] { (void)Variant(QStringLiteral("40000")).toInt16(); }), ErrorNumber::Overflow);

    auto row = std::make_shared<Collection>();
    row->Add(QStringLiteral("甲"), QStringLiteral("内容"));
    const Variant object(row);
    EXPECT_TRUE(object.isObject());
    EXPECT_EQ(object.toObject()->Item(QStringLiteral("内容")).toString(), u"甲");
    EXPECT_EQ(errorNumberOf([&] { (void)object.toString(); }), ErrorNumber::TypeMismatch);
    EXPECT_EQ(errorNumberOf([] { (void)Variant(QStringLiteral("x")).toObject(); }), ErrorNumber::TypeMismatch);
}
