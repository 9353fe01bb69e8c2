#pragma once

#include <velmarith/Export.h>

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

namespace velmarith {

/// The table-maintenance window for hosts: lists the rows of a table of the host's database
/// (SQLite, PostgreSQL, MariaDB or MySQL, as DataBridge opens it) and lets the person add,
/// change and delete them through editors generated from the four metadata tables (系统窗体表,
/// 系统显示项目表, 系统约束关联表, 系统数据字典表), which velmarith::Metadata writes from the table's schema.
class VELMARITH_EXPORT WinMagnge : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int16_t MagngeFormat READ MagngeFormat WRITE setMagngeFormat)
    Q_PROPERTY(QString MagngeMode READ MagngeMode WRITE setMagngeMode)
    Q_PROPERTY(QString MagngeTablName READ MagngeTablName WRITE setMagngeTablName)
    Q_PROPERTY(QString mDataSql READ mDataSql WRITE setmDataSql)

public:
    explicit WinMagnge(QObject *parent = nullptr);
    ~WinMagnge() override;

    /// Stored and returned; the window does not use it.
    [[nodiscard]] int16_t MagngeFormat() const;
    void setMagngeFormat(int16_t format);
    /// The work mode: "Edit" offers only 修改 and 取消, anything else all four commands.
    [[nodiscard]] QString MagngeMode() const;
    void setMagngeMode(const QString &mode);
    /// Stored and returned; the window does not use it.
    [[nodiscard]] QString MagngeTablName() const;
    void setMagngeTablName(const QString &name);
    /// Stored and returned; the window does not use it.
    [[nodiscard]] QString mDataSql() const;
    void setmDataSql(const QString &sql);

    /// Whether 修改 and 删除 first check that the row still holds what the window loaded, and
    /// ask the person before writing over another user's change (该记录已被其他用户修改…) or
    /// after another user deleted it; on by default. Off, a later save silently wins.
    [[nodiscard]] bool checksWriteConflicts() const;
    void setChecksWriteConflicts(bool checks);
    /// Whether the list opens with the column widths, order and sort the person left it with
    /// (kept per database, table and field in $XDG_CONFIG_HOME/velmarith/layouts.json; never
    /// under the testing desktop); on by default.
    [[nodiscard]] bool remembersLayout() const;
    void setRemembersLayout(bool remembers);

    /// Builds the maintenance window for a table from the current metadata and shows it
    /// modally; returns when it has closed. `ListCol` has no effect. Raises velmarith::Error
    /// before the window is shown when the start-up fails (a refused statement, a missing
    /// metadata column, a size beyond 32767 twips).
    Q_INVOKABLE void ManageTable(const QString &TableName, int16_t ListCol = 0);

    /// Writes the list the window would show for a table (its columns in their order, with
    /// their captions and display values such as D01(销售部), its rows in its order) to
    /// `path`: CSV in UTF-8 with a BOM for .csv, an Excel workbook for .xlsx (keys, codes and
    /// texts as text cells), the printed pages for .pdf. The window is not shown. Raises velmarith::Error with the reason
    /// in Chinese (a start-up that fails, another extension, a folder that cannot be written);
    /// an existing file is then left as it was.
    void exportTable(const QString &TableName, const QString &path);

signals:
    /// Declared for hosts that connect to it; the maintenance window never raises it.
    void SelectSuccess(const QString &SelectText);

private:
    class Private;
    std::unique_ptr<Private> const d;
};

} // namespace velmarith
