// The results window: what one run computed, for the main window's document area. A summary
// table (one row per catchment and storm, sortable, PROBLEM rows tinted), a plot of the chosen
// rows, the engine's text report with Find (Ctrl+F), and the list of NOTEs and PROBLEMs.
// Exports the table and a hydrograph as CSV, the plot as PNG or SVG, and copies the chosen rows
// to the clipboard as tab-separated text.
#pragma once

#include "platform/Platform.h"
#include "results/RunResults.h"

#include <QWidget>
#include <filesystem>

class QAbstractItemModel;
class QCheckBox;
class QLineEdit;
class QListView;
class QModelIndex;
class QPlainTextEdit;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;
class QVBoxLayout;

class QSplitter;

namespace tovan::results {

class HydrographChart;
class SummaryTableModel;

class ResultsWindow : public QWidget {
    Q_OBJECT
  public:
    // `platform` (file dialogs and messages) must outlive the window.
    ResultsWindow(RunResults results, Platform& platform, QWidget* parent = nullptr);
    ~ResultsWindow() override;

    const RunResults& results() const { return results_; }
    QTableView* table() const { return table_; }
    HydrographChart* chart() const { return chart_; }
    QPlainTextEdit* report() const { return report_; }
    QListView* notes() const { return notes_; }
    QLineEdit* findBox() const { return findBox_; }
    QTabWidget* tabs() const { return tabs_; }

    // Flows, depths and volumes in US customary units, SI or both: the table, the plot, Copy
    // and the exported tables.
    void setUnits(UnitSystem units);

    // The rows chosen in the table, in the table's order (the current one first).
    std::vector<SummaryRow> selectedRows() const;
    // Chooses the rows of a catchment (by its position in the run).
    void selectCatchment(std::size_t catchment);

    // The commands of the window's tool bar, each asking for its file name.
    void exportSummaryCsv();
    void exportHydrographCsv();
    void exportPlot();
    void exportForRouting();
    void copySelectedRows();
    // Finds the next occurrence of the find box's text in the report, from the cursor on and
    // round again from the top; false when the report does not hold it.
    bool findNext();

  signals:
    // A NOTE or PROBLEM of a catchment was activated: its position in the run (deck order).
    void catchmentActivated(int catchment);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void rememberSplit(QSplitter& splitter);
    void buildTable();
    void fitColumns();
    void buildTabs();
    void buildToolBar(QVBoxLayout* layout);
    void loadReport();
    void fillNotes();
    void showSelection();
    void noteActivated(const QModelIndex& note);
    std::optional<std::string> askFileName(const char* title, const char* filter,
                                           const char* extension, const std::string& name);
    void writeFile(const std::string& path, const std::string& content);

    RunResults results_;
    Platform& platform_;
    SummaryTableModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* table_ = nullptr;
    HydrographChart* chart_ = nullptr;
    QPlainTextEdit* report_ = nullptr;
    QLineEdit* findBox_ = nullptr;
    QListView* notes_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QCheckBox* unitHydrograph_ = nullptr;
};

// A read-only table of whole rows over `model`, sorted through a proxy (the view's model) by
// `sortRole`, in the model's order until the user sorts.
QTableView* SortedTable(QAbstractItemModel* model, int sortRole, QWidget* parent);

// Writes an exported file whole or not at all; false after saying why.
bool WriteExport(Platform& platform, const std::string& path, const std::string& content);

// The units the reader chose in the View menu, kept in the settings for every window of
// results.
inline constexpr std::string_view kUnitsSection = "Results", kUnitsKey = "Units";
UnitSystem ChosenUnits(Platform& platform);
void ChooseUnits(Platform& platform, UnitSystem units);

// The window's caption for a run: "Results - <results file name>".
QString ResultsCaption(const RunResults& results);

} // namespace tovan::results
