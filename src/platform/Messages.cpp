#include "platform/Messages.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>
#include <algorithm>

namespace orvane {

namespace {

class RealDesktop : public Desktop {
  public:
    MsgAnswer message(const QString& text, MsgIcon icon, MsgButtons buttons) override {
        QMessageBox box(QApplication::activeWindow());
        box.setWindowTitle("Orvane");
        box.setText(text);
        switch (icon) {
        case MsgIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MsgIcon::Critical:
            box.setIcon(QMessageBox::Critical);
            break;
        case MsgIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MsgIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        }
        switch (buttons) {
        case MsgButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MsgButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MsgButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return buttons == MsgButtons::OkCancel ? MsgAnswer::Ok : MsgAnswer::Ok;
        }
    }

    std::optional<QString> saveFileName(const QString& folder, const QString& filter,
                                        const QString& fileName) override {
        const std::optional<SaveAnswer> answer = saveFile(folder, filter, fileName);
        return answer ? std::optional<QString>(answer->fileName) : std::nullopt;
    }

    std::optional<SaveAnswer> saveFile(const QString& folder, const QString& filter,
                                       const QString& fileName) override {
        QFileDialog dialog(QApplication::activeWindow());
        ConfigureSaveDialog(dialog, folder, filter, fileName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        const int type = int(DialogNameFilters(filter).indexOf(dialog.selectedNameFilter()));
        return SaveAnswer{dialog.selectedFiles().first(), std::max(type, 0)};
    }

    std::optional<QString> openFileName(const QString& folder, const QString& filter) override {
        const QString name =
            QFileDialog::getOpenFileName(QApplication::activeWindow(), QString(), folder, filter);
        return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
    }

    void openUrl(const QString& address) override {
        QDesktopServices::openUrl(QUrl::fromUserInput(address));
    }

    void endProgram() override {
        QApplication::closeAllWindows();
        QCoreApplication::exit(0);
    }
};

RealDesktop& realDesktop() {
    static RealDesktop desktop;
    return desktop;
}

Desktop*& installed() {
    static Desktop* desktop = nullptr;
    return desktop;
}

} // namespace

std::optional<SaveAnswer> Desktop::saveFile(const QString& folder, const QString& filter,
                                            const QString& fileName) {
    const std::optional<QString> name = saveFileName(folder, filter, fileName);
    return name ? std::optional<SaveAnswer>(SaveAnswer{*name, 0}) : std::nullopt;
}

std::optional<QString> Desktop::openFileName(const QString&, const QString&) {
    return std::nullopt;
}

Desktop& Desktop::current() {
    return installed() ? *installed() : realDesktop();
}

void Desktop::install(Desktop* desktop) {
    installed() = desktop;
}

QStringList DialogNameFilters(const QString& filter) {
    QStringList filters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (int i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString pattern = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (description.isEmpty())
            continue;
        // Qt takes the patterns from the parentheses; add them when the description has none.
        filters << (description.contains(QLatin1Char('(')) || pattern.isEmpty()
                        ? description
                        : description + " (" + pattern + ")");
    }
    return filters;
}

void ConfigureSaveDialog(QFileDialog& dialog, const QString& folder, const QString& filter,
                         const QString& fileName) {
    dialog.setDirectory(folder);
    dialog.setNameFilters(DialogNameFilters(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The caller asks about overwriting itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    dialog.selectFile(fileName);
}

} // namespace orvane
