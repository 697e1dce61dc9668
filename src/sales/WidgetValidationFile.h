#pragma once

#include "data/AppContext.h"
#include "sales/ValidationFile.h"

#include <QFrame>

class QAction;
class QLabel;
class QPushButton;
class SalesService;
class WidgetDateEdit;

// The validation file inside the validation window: the export panel "Como deseja Exportar?" and
// the import of a chosen file, both offered by the window's "Mais..." menu.
class WidgetValidationFile : public QFrame {
    Q_OBJECT
public:
    WidgetValidationFile(AppContext &ctx, SalesService &sales, bool &modoImportacao, QWidget *window);

    // Connects the menu entries "Exportar Validações" and "Importar Validações"; false for other entries.
    bool takesAction(QAction *action);

public Q_SLOTS:
    void Exportar1Click();
    void Importar1Click();
    void Button7Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    AppContext &m_ctx;
    ValidationImport m_import;
    bool &m_modoImportacao;

    WidgetDateEdit *Date_Export1 = nullptr;
    WidgetDateEdit *Date_Export2 = nullptr;
    QPushButton *Button7 = nullptr;
    QLabel *Img_FecharExport = nullptr;
};
