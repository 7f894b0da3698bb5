#include "app/analysis/analysis_page.h"

#include <algorithm>
#include <utility>

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QSignalBlocker>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/report_words.h"
#include "app/analysis/charts.h"
#include "app/analysis_text.h"
#include "ui/text.h"

namespace skarn {
namespace {

constexpr std::int64_t kFightChoices[] = {1'000, 10'000, 50'000, 100'000, 1'000'000};

}  // namespace

AnalysisPage::AnalysisPage(QString title, QString stem, const QString& fightsCaption, std::int64_t defaultFights)
    : title(std::move(title)), stem(std::move(stem)) {
    setObjectName(this->stem + QStringLiteral("Page"));
    auto* layout = new QVBoxLayout(this);
    settings_ = new QHBoxLayout;
    layout->addLayout(settings_);
    auto* fightsLabel = new QLabel(fightsCaption, this);
    fightsLabel_ = fightsLabel;
    fightsBox_ = new QComboBox(this);
    fightsBox_->setObjectName(this->stem + QStringLiteral("Fights"));
    fightsBox_->setAccessibleName(QString(fightsCaption).remove(u'&').remove(u':'));
    fightsBox_->setAccessibleDescription(
        QStringLiteral("Shown only where the exact odds decline and fights are sampled instead: more fights "
                       "give narrower 95 % intervals and take longer."));
    for (const std::int64_t fights : kFightChoices)
        fightsBox_->addItem(countText(fights), QVariant::fromValue<qint64>(fights));
    fightsBox_->setCurrentIndex(std::max(0, fightsBox_->findData(QVariant::fromValue<qint64>(defaultFights))));
    fightsLabel->setBuddy(fightsBox_);
    settings_->addWidget(fightsLabel);
    settings_->addWidget(fightsBox_);
    connect(fightsBox_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    // Exact figures need no fights: the list shows only for sampled ones.
    fightsBox_->hide();
    fightsLabel->hide();
    body_ = new QVBoxLayout;
    layout->addLayout(body_, 1);
}

std::int64_t AnalysisPage::fights() const { return fightsBox_->currentData().value<qint64>(); }

void AnalysisPage::setFightsQuietly(std::int64_t fights) {
    const int index = fightsBox_->findData(QVariant::fromValue<qint64>(fights));
    if (index < 0) return;
    const QSignalBlocker quiet(fightsBox_);
    fightsBox_->setCurrentIndex(index);
}

void AnalysisPage::showFights(bool shown, std::int64_t used) {
    usedFights_ = shown ? used : 0;
    if (shown) setFightsQuietly(used);
    fightsBox_->setVisible(shown);
    fightsLabel_->setVisible(shown);
}

void AnalysisPage::revertSettings() {
    if (usedFights_ > 0) setFightsQuietly(usedFights_);
}

QString sampledNote(const std::string& declined) {
    return QStringLiteral("Sampled fights, not exact odds: %1").arg(displayText(declined));
}

void AnalysisPage::changed() {
    invalidate();
    if (settingsChanged) settingsChanged();
}

namespace tabs {

analysis::ExactSettings exactSettings(const analysis::RunSettings& settings) {
    analysis::ExactSettings exact;
    exact.mode = settings.mode;
    exact.threads = settings.threads;
    exact.progress = settings.progress;
    exact.cancel = settings.cancel;
    return exact;
}

QString changeUnit(analysis::Result result) {
    return result == analysis::Result::WinPercent ? QStringLiteral("percentage points of win %") : resultUnit(result);
}

QLabel* wrappedLabel(const QString& objectName, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QTableWidget* newTable(const QString& objectName, const QString& accessibleName, const QStringList& headers,
                       QWidget* parent) {
    auto* table = new QTableWidget(0, static_cast<int>(headers.size()), parent);
    table->setObjectName(objectName);
    table->setAccessibleName(accessibleName);
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setAlternatingRowColors(true);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(false);
    return table;
}

void setRow(QTableWidget& table, int row, int nameColumn, const QStringList& cells, bool bold) {
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        if (bold) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        }
        item->setTextAlignment(Qt::AlignVCenter | (column == nameColumn ? Qt::AlignLeft : Qt::AlignRight));
        table.setItem(row, column, item);
    }
}

void fitColumns(QTableWidget& table) {
    table.resizeColumnsToContents();
    table.resizeRowsToContents();
}

// The report's words, so that -0.0 is "0.0" as everywhere else.
QString spoken(double value) { return QString::fromStdString(report::fixedText(value, 1)); }

void restyleView(QChartView& view, const QWidget& window) {
    charts::applyStyle(*view.chart(), window.palette(), window.font());
    view.setBackgroundBrush(window.palette().brush(QPalette::Window));
}

}  // namespace tabs
}  // namespace skarn
