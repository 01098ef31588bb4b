#include "vistram/web/gui/sheet_buttons.h"
#include "vistram/web/gui/clustal_sheet.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "vistram/base/profile.h"
#include "vistram/web/gui/request_widgets.h"
#include "vistram/web/gui/server_logo.h"
#include "vistram/web/request_config.h"

ClustalSheet::ClustalSheet(QWidget* owner, CLUSTAL_DATA& record) : QDialog(owner), data_(record) {
  setObjectName("clustalSheet");
  setWindowTitle("ClustalW");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->addTab(CluPage1DlgProc(), "Sequences");
  pages_->addTab(CluPage2DlgProc(), "Parameters");
  layout->addWidget(pages_);
  const SheetButtons buttons = AddSheetButtons(this, layout);
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  connect(ok_, &QPushButton::clicked, this, &ClustalSheet::OnOk);
  connect(cancel_, &QPushButton::clicked, this, &ClustalSheet::OnCancel);
  InitCluDlgPg2();
}

QWidget* ClustalSheet::CluPage1DlgProc() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  auto* label = new QLabel("&Sequences (FASTA format only) :", page);
  sequences_ = new QPlainTextEdit(page);
  sequences_->setObjectName("sequencesField");
  sequences_->setMinimumSize(420, 220);
  label->setBuddy(sequences_);
  grid->addWidget(label, 0, 0, 1, 3);
  grid->addWidget(sequences_, 1, 0, 1, 3);
  logo_ = new ServerLogoWidget(page);
  server_ = new QLabel(page);
  server_->setObjectName("serverText");
  grid->addWidget(logo_, 2, 0);
  grid->addWidget(new QLabel("Server :", page), 2, 1);
  grid->addWidget(server_, 2, 2);
  grid->setColumnStretch(2, 1);
  const std::string server = ClustalServer(data_);
  server_->setText(QStr(server));
  logo_->DisplayServerLogo(server);
  connect(sequences_, &QPlainTextEdit::textChanged, this, [this] {
    const std::string text = sequences_->toPlainText().toStdString();
    data_.sequences = text.size() < 2 ? std::string() : text;
  });
  return page;
}

QWidget* ClustalSheet::CluPage2DlgProc() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  outputOrder_ = new QComboBox(page);
  outputOrder_->setObjectName("outputOrderBox");
  guideTree_ = new QComboBox(page);
  guideTree_->setObjectName("guideTreeBox");
  matrix_ = new QComboBox(page);
  matrix_->setObjectName("matrixBox");
  gapOpen_ = new QLineEdit(page);
  gapOpen_->setObjectName("gapOpenField");
  gapExtend_ = new QLineEdit(page);
  gapExtend_->setObjectName("gapExtendField");
  int row = 0;
  for (auto [text, field] : {std::pair<const char*, QWidget*>{"O&utput order :", outputOrder_},
                             {"Guide &tree :", guideTree_},
                             {"&Matrix :", matrix_},
                             {"Gap &open penalty :", gapOpen_},
                             {"Gap &extend penalty :", gapExtend_}}) {
    auto* label = new QLabel(text, page);
    label->setBuddy(field);
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row++, 1);
  }
  grid->setRowStretch(row, 1);
  const std::pair<QComboBox*, std::string CLUSTAL_DATA::*> lists[] = {
      {outputOrder_, &CLUSTAL_DATA::outputOrder}, {guideTree_, &CLUSTAL_DATA::guideTree}, {matrix_, &CLUSTAL_DATA::matrix}};
  for (const auto& [box, field] : lists)
    connect(box, &QComboBox::currentIndexChanged, this, [this, box = box, field = field] {
      if (!filling_) data_.*field = ComboText(box, 19);
    });
  connect(gapOpen_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!filling_) data_.gapOpen = Cut(t.toStdString(), 19);
  });
  connect(gapExtend_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!filling_) data_.gapExtension = Cut(t.toStdString(), 19);
  });
  return page;
}

void ClustalSheet::InitCluDlgPg2() {
  filling_ = true;
  ProfileFile cfg;
  cfg.Load(data_.clustalConfigPath);
  QComboBox* boxes[] = {outputOrder_, guideTree_, matrix_};
  for (std::size_t i = 0; i < std::size(kClustalLists); ++i)
    InitComboChoice(boxes[i], ReadListOfChoices(cfg, kClustalSection, kClustalLists[i].list),
                    ReadDefChoice(cfg, kClustalSection, kClustalLists[i].def));
  gapOpen_->setText(QStr(data_.gapOpen));
  gapExtend_->setText(QStr(data_.gapExtension));
  filling_ = false;
}

void ClustalSheet::OnOk() {
  Apply_Clu_Method(this, data_);
  accept();
}

void ClustalSheet::OnCancel() {
  ResetClustalValues(data_);
  reject();
}

int CallClustalDlg(QWidget* owner, const std::string& clustalConfigPath, const std::string& configPath) {
  CLUSTAL_DATA data;
  ResetClustalValues(data);
  data.clustalConfigPath = Cut(clustalConfigPath, 260);
  data.configPath = Cut(configPath, 260);
  if (!GlobalInitCluPage2(owner, data)) return 0;
  ClustalSheet sheet(owner, data);
  return sheet.exec() == QDialog::Accepted ? 1 : 0;
}
