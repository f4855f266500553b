#include "window/WindowDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "lang/WordReader.h"

namespace zel {

bool QtDialogs::AskQuit(QWidget* parent)
{
    return QMessageBox::question(parent, "Quit", "Quit?", QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes;
}

QuitChoice QtDialogs::AskSaveSettings(QWidget* parent, std::string& fileName)
{
    QDialog dialog(parent);
    dialog.setWindowTitle("Quit");
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel("Save settings to:", &dialog);
    auto* name = new QLineEdit(QFile::decodeName(fileName.c_str()), &dialog);
    name->setMaxLength(int(kNameCapacity));
    name->setAccessibleName("Settings file name");
    name->setMinimumWidth(320);
    label->setBuddy(name);
    layout->addWidget(label);
    layout->addWidget(name);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* save = buttons->addButton("Save and quit", QDialogButtonBox::AcceptRole);
    QPushButton* dontSave = buttons->addButton("Don't save", QDialogButtonBox::DestructiveRole);
    buttons->addButton("Don't quit", QDialogButtonBox::RejectRole);
    save->setDefault(true);
    layout->addWidget(buttons);
    QAbstractButton* clicked = nullptr;
    QObject::connect(buttons, &QDialogButtonBox::clicked, &dialog, [&](QAbstractButton* button) {
        clicked = button;
        dialog.done(0);
    });
    dialog.exec();
    if (clicked == save) {
        fileName = QFile::encodeName(name->text()).toStdString();
        return QuitChoice::SaveAndQuit;
    }
    // "Don't quit", and closing the dialog.
    return clicked == dontSave ? QuitChoice::DontSave : QuitChoice::DontQuit;
}

QString NameFilters(std::string_view filter)
{
    QStringList filters;
    size_t at = 0;
    for (;;) {
        const size_t descriptionEnd = filter.find('|', at);
        if (descriptionEnd == std::string_view::npos || descriptionEnd == at) break;
        const size_t patternEnd = filter.find('|', descriptionEnd + 1);
        if (patternEnd == std::string_view::npos) break;
        // The description's own "(*.txt)" gives way to the patterns as Qt reads them.
        QString description = QString::fromUtf8(filter.substr(at, descriptionEnd - at)).trimmed();
        if (description.endsWith(')') && description.contains('('))
            description = description.left(description.lastIndexOf('(')).trimmed();
        QString patterns =
            QString::fromUtf8(filter.substr(descriptionEnd + 1, patternEnd - descriptionEnd - 1));
        patterns.replace(';', ' ');
        patterns.replace("*.*", "*");
        filters << description + " (" + patterns + ")";
        at = patternEnd + 1;
    }
    return filters.join(";;");
}

std::optional<std::string> QtDialogs::AskOpenFileName(QWidget* parent, std::string_view filter,
                                                      std::string_view defaultExtension)
{
    QFileDialog dialog(parent, "Open");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(NameFilters(filter));
    // "*.txt" or "txt": the suffix given to a name typed without one.
    QString suffix = QString::fromUtf8(defaultExtension);
    suffix.remove(0, suffix.lastIndexOf('.') + 1);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

}  // namespace zel
