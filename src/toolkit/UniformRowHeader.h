#pragma once

#include <QAbstractTableModel>
#include <QHeaderView>

namespace velmarith::toolkit {

/// The row header of a list whose rows all have one height. Qt's header follows each row a
/// model puts in or takes out, and at every removed row it asks each of its sections whether it
/// is hidden: a million calls in a list of a million rows. Rows of one height need no such
/// bookkeeping, so this header follows only the row count, adding or dropping sections at its
/// end, which costs the same at any length.
class UniformRowHeader final : public QHeaderView
{
public:
    /// A hidden header of fixed sections `rowHeight` pixels high, one per row of `rows`.
    UniformRowHeader(const QAbstractItemModel &rows, int rowHeight, QWidget *parent);

private:
    // What the header sees of the rows: their count, and no signal, so that Qt's own handling
    // of inserted and removed rows never runs.
    class RowCount final : public QAbstractTableModel
    {
    public:
        RowCount(const QAbstractItemModel &rows, QObject *parent) : QAbstractTableModel(parent), mRows(rows) {}
        [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
        [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
        [[nodiscard]] QVariant data(const QModelIndex &, int) const override { return {}; }

    private:
        const QAbstractItemModel &mRows;
    };

    void followRowCount();

    // A child, so that it outlives the header's own clean-up of its model.
    RowCount *mRowCount;
};

} // namespace velmarith::toolkit
