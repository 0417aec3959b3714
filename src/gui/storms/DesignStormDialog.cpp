#include "storms/DesignStormDialog.h"

#include "fortranio/NumericText.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPen>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace tovan {

namespace {

constexpr std::string_view kSection = "DesignStorm";

std::optional<double> NumberIn(const QLineEdit* field) {
    const std::string text = field->text().trimmed().toStdString();
    if (text.empty()) return 0.0;
    return NumericValue(text);
}

// "5:0.5, 10:0.8" as the table's points.
std::vector<DepthDuration> TableIn(const QString& text) {
    std::vector<DepthDuration> table;
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList pair = item.split(QLatin1Char(':'));
        const auto minutes =
            pair.size() == 2 ? NumericValue(pair[0].trimmed().toStdString()) : std::nullopt;
        const auto inches =
            pair.size() == 2 ? NumericValue(pair[1].trimmed().toStdString()) : std::nullopt;
        if (!minutes || !inches)
            throw StormInputError("table", "The table item \"" + item.trimmed().toStdString() +
                                               "\" is not minutes:inches, such as 60:1.8.");
        table.push_back({*minutes, *inches});
    }
    return table;
}

QString Clock(double minutes) {
    const int whole = static_cast<int>(std::lround(minutes));
    return QStringLiteral("%1:%2").arg(whole / 60).arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString Inches(long long thousandths) {
    return QString::fromStdString(ThousandthsText(thousandths));
}

} // namespace

DesignStormDialog::DesignStormDialog(const DeckGrids& grids, Platform& platform, QWidget* parent)
    : QDialog(parent), grids_(grids), platform_(platform) {
    setObjectName(QStringLiteral("designStorm"));
    setWindowTitle(tr("Design Storm"));
    buildForm();
    recall();
    showMethodRows();
    rebuild();
}

QLineEdit* DesignStormDialog::addField(const char* name, const QString& label, const QString& tip) {
    auto* field = new QLineEdit(this);
    field->setObjectName(QString::fromLatin1(name));
    field->setToolTip(tip);
    form_->addRow(label, field);
    connect(field, &QLineEdit::textChanged, this, &DesignStormDialog::rebuild);
    return field;
}

void DesignStormDialog::buildForm() {
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    form_ = new QFormLayout;
    method_ = new QComboBox(this);
    method_->setObjectName(QStringLiteral("method"));
    for (StormMethod method : kAllMethods)
        method_->addItem(QString::fromLatin1(MethodTitle(method).data(),
                                             static_cast<int>(MethodTitle(method).size())),
                         static_cast<int>(method));
    form_->addRow(tr("&Method:"), method_);
    depth_ = addField("depth", tr("Total &depth (in):"),
                      tr("For the block, Chicago and observed storms, a depth scales the storm "
                         "to it; leave it empty to keep their own."));
    duration_ = addField("duration", tr("D&uration (min):"), tr("The NRCS storms last 1440 min."));
    step_ = addField("step", tr("&Step (min):"),
                     tr("The unit duration of the catchments that process the storm."));
    table_ = addField("table", tr("Depth-duration &table:"),
                      tr("minutes:inches pairs, such as 5:0.5, 15:1.0, 60:1.8, 120:2.2"));
    peak_ = addField("peak", tr("&Peak position (0 to 1):"), tr("Where the largest block sits."));
    idfA_ = addField("idfA", tr("IDF &a:"), tr("i = a / (t + b)^c, i in in/h, t in minutes"));
    idfB_ = addField("idfB", tr("IDF &b (min):"), {});
    idfC_ = addField("idfC", tr("IDF &c:"), {});
    peakRatio_ =
        addField("peakRatio", tr("Peak &ratio r:"), tr("The share of the storm before its peak."));
    file_ = addField("file", tr("Rainfall &file (CSV):"),
                     tr("Time and depth, intensity or cumulative depth; a header row names them."));
    browse_ = new QPushButton(tr("&Browse..."), this);
    browse_->setObjectName(QStringLiteral("browse"));
    form_->addRow(QString(), browse_);
    kind_ = new QComboBox(this);
    kind_->setObjectName(QStringLiteral("kind"));
    kind_->addItems(
        {tr("as the file says"), tr("depth"), tr("intensity (in/h)"), tr("cumulative depth")});
    form_->addRow(tr("File &holds:"), kind_);
    number_ = new QSpinBox(this);
    number_->setObjectName(QStringLiteral("number"));
    number_->setRange(1, 99);
    form_->addRow(tr("Storm &number:"), number_);
    ident_ = new QLineEdit(this);
    ident_->setObjectName(QStringLiteral("ident"));
    ident_->setMaxLength(10);
    form_->addRow(tr("&Identification:"), ident_);
    left->addLayout(form_);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("summary"));
    summary_->setWordWrap(true);
    summary_->setMinimumWidth(320);
    left->addWidget(summary_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    placeButton_ = buttons->addButton(tr("&Place"), QDialogButtonBox::AcceptRole);
    placeButton_->setObjectName(QStringLiteral("place"));
    left->addWidget(buttons);
    layout->addLayout(left);
    chart_ = new QChartView(this);
    chart_->setObjectName(QStringLiteral("preview"));
    chart_->setMinimumSize(420, 300);
    chart_->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(chart_, 1);

    const int next = NextFreeStormNumber(grids_.fpCardB1);
    number_->setValue(next ? next : 1);
    step_->setText(QString::number(DefaultStep(grids_, number_->value())));
    connect(method_, &QComboBox::currentIndexChanged, this, [this] {
        showMethodRows();
        rebuild();
    });
    connect(kind_, &QComboBox::currentIndexChanged, this, &DesignStormDialog::rebuild);
    connect(number_, &QSpinBox::valueChanged, this, &DesignStormDialog::rebuild);
    connect(ident_, &QLineEdit::textEdited, this, &DesignStormDialog::rebuild);
    connect(browse_, &QPushButton::clicked, this, &DesignStormDialog::browseForFile);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(placeButton_, &QPushButton::clicked, this, &DesignStormDialog::place);
}

void DesignStormDialog::showMethodRows() {
    const auto method = static_cast<StormMethod>(method_->currentData().toInt());
    const auto show = [this](QWidget* field, bool visible) {
        form_->setRowVisible(field, visible);
    };
    show(table_, method == StormMethod::Block);
    show(peak_, method == StormMethod::Block);
    for (QWidget* field : {static_cast<QWidget*>(idfA_), static_cast<QWidget*>(idfB_),
                           static_cast<QWidget*>(idfC_), static_cast<QWidget*>(peakRatio_)})
        show(field, method == StormMethod::Chicago);
    for (QWidget* field : {static_cast<QWidget*>(file_), static_cast<QWidget*>(browse_),
                           static_cast<QWidget*>(kind_)})
        show(field, method == StormMethod::Observed);
    const bool nrcs = method == StormMethod::Nrcs1 || method == StormMethod::Nrcs1A ||
                      method == StormMethod::Nrcs2 || method == StormMethod::Nrcs3;
    if (nrcs) duration_->setText(QStringLiteral("1440"));
    duration_->setEnabled(!nrcs);
}

StormRequest DesignStormDialog::request() const {
    StormRequest request;
    request.method = static_cast<StormMethod>(method_->currentData().toInt());
    StormParameters& p = request.parameters;
    const auto number = [](const QLineEdit* field, const char* parameter) {
        const auto value = NumberIn(field);
        if (!value)
            throw StormInputError(parameter, "\"" + field->text().toStdString() +
                                                 "\" is not a number (" + parameter + ").");
        return *value;
    };
    p.depth = number(depth_, "depth");
    p.duration = number(duration_, "duration");
    p.step = number(step_, "step");
    if (p.step <= 0) throw StormInputError("step", "The step must be a number greater than 0.");
    p.table = TableIn(table_->text());
    p.peakPosition = peak_->text().trimmed().isEmpty() ? 0.5 : number(peak_, "peak");
    p.idfA = number(idfA_, "idf-a");
    p.idfB = number(idfB_, "idf-b");
    p.idfC = number(idfC_, "idf-c");
    p.peakRatio = peakRatio_->text().trimmed().isEmpty() ? 0.5 : number(peakRatio_, "peak-ratio");
    if (request.method == StormMethod::Observed) {
        if (observedText_.empty() && !file_->text().isEmpty())
            throw StormInputError("file", "The file " + file_->text().toStdString() +
                                              " cannot be read, or is empty.");
        p.observedCsv = observedText_;
        if (kind_->currentIndex() > 0)
            p.observedKind = static_cast<ObservedKind>(kind_->currentIndex() - 1);
    }
    request.number = number_->value();
    request.replace = true; // asked at Place
    const QString ident = ident_->text();
    request.ident = ident == suggestedIdent_ ? std::string() : ident.toStdString();
    return request;
}

void DesignStormDialog::rebuild() {
    if (file_->text().toStdString() != observedPath_) {
        observedPath_ = file_->text().toStdString();
        QFile in(file_->text());
        observedText_ = in.open(QIODevice::ReadOnly) ? in.readAll().toStdString() : std::string();
    }
    current_.reset();
    try {
        current_ = PrepareStorm(grids_, request());
    } catch (const StormInputError& error) {
        summary_->setText(QStringLiteral("<span style='color:#b00000'>%1</span>")
                              .arg(QString::fromStdString(error.what()).toHtmlEscaped()));
        placeButton_->setEnabled(false);
        drawPreview(PreparedStorm{});
        return;
    }
    if (ident_->text() == suggestedIdent_ || ident_->text().isEmpty()) {
        suggestedIdent_ = QString::fromStdString(current_->ident);
        ident_->setText(suggestedIdent_);
    }
    const auto& t = current_->written.thousandths;
    const auto peak = std::max_element(t.begin(), t.end());
    const double peakEnd = static_cast<double>(peak - t.begin() + 1) * current_->step;
    QString text = tr("Total %1 in in %2 steps of %3 min, on %4 cards. Peak %5 in (%6 in/h) "
                      "from %7 to %8; time to peak %9 min.")
                       .arg(Inches(current_->written.totalThousandths))
                       .arg(t.size())
                       .arg(current_->step)
                       .arg(current_->rows.size())
                       .arg(Inches(*peak))
                       .arg(static_cast<double>(*peak) / 1000 * 60 / current_->step, 0, 'f', 2)
                       .arg(Clock(peakEnd - current_->step), Clock(peakEnd))
                       .arg(peakEnd);
    if (current_->replaces)
        text += QStringLiteral(" ") +
                tr("Storm %1 is in the deck: Place replaces it.").arg(current_->number);
    for (const std::string& note : current_->notes)
        text += QStringLiteral("\n") + QString::fromStdString(note);
    if (!current_->depths.note.empty())
        text += QStringLiteral("\n") + QString::fromStdString(current_->depths.note);
    summary_->setText(text);
    placeButton_->setEnabled(true);
    drawPreview(*current_);
}

QString DesignStormDialog::summaryText() const {
    return summary_->text();
}

// Bars of the depth of every step (left axis) and the cumulative depth (right axis), against
// hours from the storm's start.
void DesignStormDialog::drawPreview(const PreparedStorm& storm) {
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* bars = new QAreaSeries;
    auto* top = new QLineSeries(bars); // the area series does not own its outline
    auto* cumulative = new QLineSeries;
    cumulative->setName(tr("Cumulative depth (in)"));
    double sum = 0, largest = 0;
    const double hours = storm.step / 60;
    for (std::size_t k = 0; k < storm.written.thousandths.size(); ++k) {
        const double depth = static_cast<double>(storm.written.thousandths[k]) / 1000;
        const double start = static_cast<double>(k) * hours;
        top->append(start, depth);
        top->append(start + hours, depth);
        sum += depth;
        cumulative->append(start + hours, sum);
        largest = std::max(largest, depth);
    }
    bars->setUpperSeries(top);
    bars->setName(tr("Depth of each step (in)"));
    // A 24-hour storm's peak is a few steps of hundreds: the bars get a solid outline so that
    // a block narrower than a pixel still shows, and are drawn over the curve.
    const QColor barColor(31, 94, 168);
    bars->setPen(QPen(barColor, 1.2));
    bars->setBrush(barColor);
    cumulative->setPen(QPen(QColor(214, 120, 20), 1.5));
    chart->addSeries(cumulative);
    chart->addSeries(bars);
    auto* time = new QValueAxis;
    time->setTitleText(tr("Hours from the storm's start"));
    time->setRange(0, std::max(hours * static_cast<double>(storm.written.thousandths.size()), 1.0));
    auto* depthAxis = new QValueAxis;
    depthAxis->setTitleText(tr("Step depth (in)"));
    depthAxis->setRange(0, std::max(largest * 1.1, 0.01));
    auto* sumAxis = new QValueAxis;
    sumAxis->setTitleText(tr("Cumulative (in)"));
    sumAxis->setRange(0, std::max(sum * 1.05, 0.01));
    chart->addAxis(time, Qt::AlignBottom);
    chart->addAxis(depthAxis, Qt::AlignLeft);
    chart->addAxis(sumAxis, Qt::AlignRight);
    bars->attachAxis(time);
    bars->attachAxis(depthAxis);
    cumulative->attachAxis(time);
    cumulative->attachAxis(sumAxis);
    QChart* old = chart_->chart();
    chart_->setChart(chart);
    delete old;
}

void DesignStormDialog::browseForFile() {
    FileDialogRequest ask;
    ask.title = "Observed rainfall";
    ask.filter = "Rainfall records (*.csv)|*.csv|All Files (*.*)|*.*";
    if (const auto path = platform_.chooseFileToOpen(ask))
        file_->setText(QString::fromStdString(*path));
}

void DesignStormDialog::place() {
    rebuild();
    if (!current_) return;
    if (current_->replaces &&
        platform_.askYesNo("Storm " + std::to_string(current_->number) +
                               " is in the deck already. Replace it with this storm?",
                           MessageIcon::Question, "Design Storm") != Answer::Yes)
        return;
    prepared_ = current_;
    remember();
    accept();
}

void DesignStormDialog::remember() {
    platform_.saveSetting(kSection, "Method", std::to_string(method_->currentIndex()));
    const std::pair<const char*, QLineEdit*> fields[] = {
        {"Depth", depth_}, {"Duration", duration_},   {"Table", table_},
        {"Peak", peak_},   {"IdfA", idfA_},           {"IdfB", idfB_},
        {"IdfC", idfC_},   {"PeakRatio", peakRatio_}, {"File", file_}};
    for (const auto& [key, field] : fields)
        platform_.saveSetting(kSection, key, field->text().toStdString());
}

void DesignStormDialog::recall() {
    const int method = std::atoi(platform_.setting(kSection, "Method", "2").c_str());
    method_->setCurrentIndex(std::clamp(method, 0, method_->count() - 1));
    const std::tuple<const char*, QLineEdit*, const char*> fields[] = {
        {"Depth", depth_, "5"},
        {"Duration", duration_, "1440"},
        {"Table", table_, "5:0.5, 10:0.8, 15:1.0, 30:1.4, 60:1.8, 120:2.2"},
        {"Peak", peak_, "0.5"},
        {"IdfA", idfA_, "60"},
        {"IdfB", idfB_, "10"},
        {"IdfC", idfC_, "0.8"},
        {"PeakRatio", peakRatio_, "0.4"},
        {"File", file_, ""}};
    for (const auto& [key, field, otherwise] : fields)
        field->setText(QString::fromStdString(platform_.setting(kSection, key, otherwise)));
}

} // namespace tovan
