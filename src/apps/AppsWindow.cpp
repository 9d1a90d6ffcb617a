#include "apps/AppsWindow.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QIcon>
#include <QScrollBar>

#include <algorithm>
#include <utility>
#include <vector>

#include "core/Formatters.h"
#include "ui_AppsWindow.h"

namespace {

constexpr double kKiBPerMiB = 1024.0;
constexpr double kBytesPerMiB = 1024.0 * 1024.0;

enum Column { kName, kDownSpeed, kUpSpeed, kDownloaded, kUploaded };

QString Speed(double kiBs) {
    return QString::fromStdString(SpeedText(kiBs / kKiBPerMiB));
}

QString Size(std::uint64_t bytes) {
    return QString::fromStdString(SizeText(bytes / kBytesPerMiB));
}

void FillRow(QTreeWidgetItem& row, const QString& name, double down, double up,
             std::uint64_t downloaded, std::uint64_t uploaded) {
    row.setText(kName, name);
    row.setText(kDownSpeed, Speed(down));
    row.setText(kUpSpeed, Speed(up));
    row.setText(kDownloaded, Size(downloaded));
    row.setText(kUploaded, Size(uploaded));
    for (const int column : {kDownSpeed, kUpSpeed, kDownloaded, kUploaded}) {
        row.setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    }
}

}  // namespace

AppsWindow::AppsWindow(CAppTraffic& traffic, QWidget* parent)
    : AppsWindow(traffic, nullptr, parent) {}

AppsWindow::AppsWindow(std::unique_ptr<CAppsMonitor> monitor, QWidget* parent)
    : AppsWindow(monitor->Traffic(), std::move(monitor), parent) {}

AppsWindow::AppsWindow(CAppTraffic& traffic, std::unique_ptr<CAppsMonitor>&& monitor,
                       QWidget* parent)
    : QDialog(parent),
      ui_(std::make_unique<Ui::AppsWindow>()),
      monitor_(std::move(monitor)),
      traffic_(traffic),
      observation_(traffic, *this) {
    ui_->setupUi(this);
    // The name column takes what the figures leave, so "Other traffic ..." is read whole.
    ui_->appsTree->header()->setStretchLastSection(false);
    ui_->appsTree->header()->setSectionResizeMode(kName, QHeaderView::Stretch);
    for (const int column : {kDownSpeed, kUpSpeed, kDownloaded, kUploaded}) {
        ui_->appsTree->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    // Wide enough for the other traffic's name and every figure column in either language: the
    // window opens at its size hint, which a tree knows nothing of.
    const QFontMetrics metrics(ui_->appsTree->font());
    const int padding = 3 * metrics.averageCharWidth();
    int width = metrics.horizontalAdvance(tr("Other traffic (UDP, other users, system)")) +
                ui_->appsTree->iconSize().width() + padding;
    for (const int column : {kDownSpeed, kUpSpeed, kDownloaded, kUploaded}) {
        width += std::max(metrics.horizontalAdvance(QStringLiteral("9999.9 KB/s")),
                          metrics.horizontalAdvance(ui_->appsTree->headerItem()->text(column))) +
                 padding;
    }
    ui_->appsTree->setMinimumSize(width + ui_->appsTree->verticalScrollBar()->sizeHint().width() +
                                      2 * ui_->appsTree->frameWidth(),
                                  12 * metrics.height());
    connect(ui_->appsTree, &QTreeWidget::currentItemChanged, this, [this] { ShowProcesses(); });
    Update();
}

AppsWindow::~AppsWindow() = default;

void AppsWindow::Update() {
    // Rows are refilled in place, so the chosen row stays chosen while the order holds.
    const QString chosen =
        ui_->appsTree->currentItem() != nullptr ? ui_->appsTree->currentItem()->text(kName) : "";
    const std::vector<AppTraffic>& apps = traffic_.Apps();
    const int rows = static_cast<int>(apps.size()) + 1;
    while (ui_->appsTree->topLevelItemCount() > rows) {
        delete ui_->appsTree->takeTopLevelItem(ui_->appsTree->topLevelItemCount() - 1);
    }
    while (ui_->appsTree->topLevelItemCount() < rows) {
        ui_->appsTree->addTopLevelItem(new QTreeWidgetItem);
    }
    for (int i = 0; i < rows - 1; ++i) {
        const AppTraffic& app = apps[i];
        QTreeWidgetItem& row = *ui_->appsTree->topLevelItem(i);
        const QString name = QString::fromStdString(app.app);
        // Only when the row's application changed: a new icon repaints the row, and each
        // sample would load its picture again.
        if (row.text(kName) != name || row.icon(kName).isNull()) {
            row.setIcon(kName, Icon(name));
        }
        FillRow(row, name, app.downKiBs, app.upKiBs, app.downBytes, app.upBytes);
        if (row.text(kName) == chosen) {
            ui_->appsTree->setCurrentItem(&row);
        }
    }
    const OtherTraffic& other = traffic_.Other();
    QTreeWidgetItem& otherRow = *ui_->appsTree->topLevelItem(rows - 1);
    if (!otherRow.icon(kName).isNull()) {
        otherRow.setIcon(kName, QIcon());
    }
    FillRow(otherRow, tr("Other traffic (UDP, other users, system)"), other.downKiBs, other.upKiBs,
            other.downBytes, other.upBytes);

    QString note =
        tr("Counted: the TCP traffic of your own programs. UDP, other users' and the "
           "system's traffic is other traffic, and so is a connection that opened and "
           "closed between two samples unless its program was seen.");
    if (other.attributedExceededTotal) {
        note += " " + tr("More was counted for programs than the monitored interfaces carried "
                         "(loopback not monitored?): other traffic shows 0.");
    }
    if (!traffic_.SocketsReadable()) {
        note = tr("The system's TCP sockets cannot be read.");
    }
    ui_->noteLabel->setText(note);
    ShowProcesses();
}

QIcon AppsWindow::Icon(const QString& app) {
    auto found = icons_.find(app);
    if (found == icons_.end()) {
        // A desktop entry's id names its icon in the theme.
        found =
            icons_.emplace(app, QIcon::fromTheme(app, QIcon::fromTheme("application-x-executable")))
                .first;
    }
    return found->second;
}

void AppsWindow::ShowProcesses() {
    // The rows the chosen application's processes make: pid and one line of command.
    std::vector<QStringList> rows;
    if (const QTreeWidgetItem* chosen = ui_->appsTree->currentItem(); chosen != nullptr) {
        for (const AppTraffic& app : traffic_.Apps()) {
            if (QString::fromStdString(app.app) != chosen->text(kName)) {
                continue;
            }
            for (const ProcessInfo& process : app.processes) {
                // An argument may hold line breaks: one line per process.
                rows.push_back({QString::number(process.pid),
                                QString::fromStdString(process.commandLine).replace('\n', ' ')});
            }
        }
    }
    // Refilled only when they changed: each sample asks, and a refill would drop the user's
    // place and choice in the list.
    QTreeWidget& tree = *ui_->processTree;
    bool same = tree.topLevelItemCount() == static_cast<int>(rows.size());
    for (int i = 0; same && i < tree.topLevelItemCount(); ++i) {
        same = tree.topLevelItem(i)->text(0) == rows[i][0] &&
               tree.topLevelItem(i)->text(1) == rows[i][1];
    }
    if (same) {
        return;
    }
    tree.clear();
    for (const QStringList& texts : rows) {
        new QTreeWidgetItem(&tree, texts);
    }
}
