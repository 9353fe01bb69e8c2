#include "maintenance/data/TreeFiller.h"
#include "toolkit/Form.h"
#include "toolkit/TreeView.h"

#include "support/Errors.h"
#include "support/QtPrinting.h"
#include "support/Rows.h"

#include <gtest/gtest.h>

using namespace velmarith;
using namespace velmarith::toolkit;
using namespace Qt::StringLiterals;
using velmarith::test::errorNumberOf;
using velmarith::test::makeRows;

namespace {

class TreeForm final : public Form
{
public:
    TreeForm() : Form(QStringLiteral("frmTree")) { tree = &addControl<TreeView>(QStringLiteral("tvwQuery"), {90, 420, 2700, 3000}); }
    TreeView *tree;
};

} // namespace

TEST(TreeView, addsNodesUnderKeysAndRefusesRepeatedOrMissingKeys)
{
    TreeForm form;
    form.tree->addNode({}, u"A"_s, u"甲"_s);
    form.tree->addNode(u"A"_s, u"B"_s, u"乙"_s);
    form.tree->addNode({}, u"C"_s, u"丙"_s);
    form.tree->addNode(u"A"_s, u"D"_s, u"丁"_s);
    EXPECT_EQ(form.tree->childKeys({}), (QStringList{u"A"_s, u"C"_s}));
    EXPECT_EQ(form.tree->childKeys(u"A"_s), (QStringList{u"B"_s, u"D"_s})) << "a child goes last";
    EXPECT_EQ(form.tree->node(u"D"_s).parentKey, u"A");
    EXPECT_EQ(errorNumberOf([&] { form.tree->addNode({}, u"B"_s, u"again"_s); }), ErrorNumber::KeyNotUnique);
    EXPECT_EQ(errorNumberOf([&] { form.tree->addNode(u"Z"_s, u"E"_s, u"orphan"_s); }), ErrorNumber::ElementNotFound);
    EXPECT_EQ(form.tree->nodeCount(), 4);
    EXPECT_FALSE(form.tree->SelectedItem());
    form.tree->select(u"C"_s);
    EXPECT_EQ(form.tree->SelectedItem()->text, u"丙");
}

TEST(TreeFiller, buildsOneLevelFromKeyAndTextColumns)
{
    TreeForm form;
    TreeFiller filler;
    filler.BindTree(*form.tree);
    const ResultRows top = makeRows({u"编号"_s, u"名称"_s}, {{u"D01"_s, u"销售部"_s}, {u"D02"_s, u"财务部"_s}});
    EXPECT_EQ(filler.FillTree(top, u"K"_s, int16_t(1), int16_t(2), u"0"_s, nullptr, {}, u""_s, u""_s, u""_s, {}, {}, {},
                              u"Yes"_s),
              2);
    EXPECT_EQ(form.tree->childKeys({}), (QStringList{u"KD01"_s, u"KD02"_s}));
    EXPECT_EQ(form.tree->node(u"KD02"_s).text, u"财务部");
    EXPECT_TRUE(form.tree->node(u"KD01"_s).expanded);
    EXPECT_EQ(form.tree->node(u"KD01"_s).image, u"") << "one level shows no images";
}

TEST(TreeFiller, placesSecondLevelRowsUnderTheirParentsWithImages)
{
    TreeForm form;
    TreeFiller filler;
    filler.BindTree(*form.tree);
    const ResultRows top = makeRows({u"编号"_s, u"名称"_s}, {{u"D01"_s, u"销售部"_s}, {u"D02"_s, u"财务部"_s}});
    const ResultRows sub = makeRows({u"部门"_s, u"编号"_s, u"姓名"_s},
                                    {{u"D02"_s, u"0002"_s, u"王芳"_s}, {u"D01"_s, u"0001"_s, u"张伟"_s}});
    filler.FillTree(top, u"K"_s, int16_t(1), int16_t(2), u"1"_s, &sub, u"F"_s, int16_t(1), int16_t(2), int16_t(3),
                    u"MiKey"_s, u"SpKey"_s, {}, u"No"_s);
    EXPECT_EQ(form.tree->childKeys(u"KD02"_s), QStringList{u"F0002"_s});
    EXPECT_EQ(form.tree->node(u"F0001"_s).text, u"张伟");
    EXPECT_EQ(form.tree->node(u"F0001"_s).image, u"SpKey");
    EXPECT_EQ(form.tree->node(u"KD01"_s).image, u"MiKey");
    EXPECT_FALSE(form.tree->node(u"KD01"_s).expanded);

    const ResultRows orphan = makeRows({u"部门"_s, u"编号"_s, u"姓名"_s}, {{u"D09"_s, u"0009"_s, u"无名"_s}});
    TreeForm other;
    filler.BindTree(*other.tree);
    EXPECT_EQ(errorNumberOf([&] {
                  filler.FillTree(top, u"K"_s, int16_t(1), int16_t(2), u"1"_s, &orphan, u"F"_s, int16_t(1), int16_t(2),
                                  int16_t(3), {}, {}, {}, u"No"_s);
              }),
              ErrorNumber::ElementNotFound);
}
