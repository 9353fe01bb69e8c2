#pragma once

#include "maintenance/frmManage.h"
#include "toolkit/CheckBox.h"
#include "toolkit/ComboBox.h"
#include "toolkit/TextBox.h"

#include "support/MaintenanceDb.h"
#include "support/ScriptedDesktop.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmarith::test {

/// A maintenance database and a scripted desktop with a screen large enough for any window.
class MaintenanceTest : public ::testing::Test
{
protected:
    explicit MaintenanceTest(Backend backend = Backend::Sqlite) : db(backend) { desktop.setScreenSize(28800, 21600); }

    std::unique_ptr<frmManage> start(const QString &table, const QString &workMode = {})
    {
        auto form = std::make_unique<frmManage>();
        form->WorkMode = workMode;
        form->ManageTable(table);
        return form;
    }

    template<class Kind>
    static Kind *editor(frmManage &form, const QString &name)
    {
        return qobject_cast<Kind *>(form.control(name));
    }

    /// The names of the controls shown to the person whose names start with txt, cbo or chk.
    static QStringList shownEditors(frmManage &form)
    {
        QStringList names;
        for (const toolkit::Control *control : form.Controls()) {
            const QString name = control->Name();
            if ((name.startsWith(u"txt") || name.startsWith(u"cbo") || name.startsWith(u"chk")) && control->Visible())
                names.append(name);
        }
        return names;
    }

    ScriptedDesktop desktop;
    MaintenanceDb db;
};

/// The same fixture on each backend: the parameter picks SQLite or the test cluster.
class MaintenanceOnEachBackend : public ::testing::WithParamInterface<Backend>, public MaintenanceTest
{
protected:
    MaintenanceOnEachBackend() : MaintenanceTest(GetParam()) {}
    void SetUp() override { VELMARITH_SKIP_WITHOUT_SERVER(GetParam()); }
};

} // namespace velmarith::test
