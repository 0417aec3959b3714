// Export for Routing...: the chosen rows' hydrographs for a routing model, as a SWMM 5
// fragment (each catchment's node named in the table, its own name to start with), a long-form
// CSV or HEC-HMS paired tables.
#pragma once

#include "results/RunResults.h"

#include <QDialog>
#include <map>

class QComboBox;
class QTableWidget;

namespace tovan::results {

class RoutingExportDialog : public QDialog {
    Q_OBJECT
  public:
    enum Format { Swmm, LongCsv, HecHms };
    RoutingExportDialog(const RunResults& results, const std::vector<SummaryRow>& rows,
                        QWidget* parent = nullptr);

    Format format() const;
    // The node of each catchment, by identification.
    std::map<std::string, std::string> nodes() const;
    // The file's text in the chosen format.
    std::string text() const;

    QComboBox* formatBox() const { return format_; }
    QTableWidget* nodeTable() const { return nodes_; }

  private:
    const RunResults& results_;
    std::vector<SummaryRow> rows_;
    QComboBox* format_ = nullptr;
    QTableWidget* nodes_ = nullptr;
};

} // namespace tovan::results
