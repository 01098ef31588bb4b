#include "vistram/web/gui/sheet_buttons.h"
#include "vistram/web/gui/blast2_sheet.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "vistram/platform/messages.h"
#include "vistram/seqio/gui/sequence_file_dialog.h"
#include "vistram/seqio/ncbi_download.h"
#include "vistram/base/profile.h"
#include "vistram/web/gui/request_widgets.h"
#include "vistram/web/gui/server_logo.h"
#include "vistram/web/request_config.h"

namespace {
std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

ProfileFile LoadConfig(const std::string& path) {
  ProfileFile file;
  file.Load(path);
  return file;
}

QComboBox* NewCombo(QWidget* parent, const char* name) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  box->setMinimumContentsLength(24);
  box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  return box;
}
}  // namespace

// ---------------------------------------------------------------------------
// Page "Parameters".

Blast2ParametersPage::Blast2ParametersPage(BLAST_DATA& record, Mode mode, QWidget* parent)
    : QWidget(parent), data_(record), mode_(mode) {
  setObjectName("blast2Parameters");
  auto* grid = new QGridLayout(this);
  int row = 0;
  file_ = new QPushButton("Fi&le :", this);
  file_->setObjectName("configFileButton");
  filePath_ = new QLabel(this);
  filePath_->setObjectName("configFilePath");
  filePath_->setFrameShape(QFrame::StyledPanel);
  grid->addWidget(file_, row, 0);
  grid->addWidget(filePath_, row++, 1, 1, 3);
  getDb_ = new QPushButton("Ge&t DB file on the server", this);
  getDb_->setObjectName("getDbButton");
  grid->addWidget(getDb_, row++, 1, 1, 3);

  expect_ = NewCombo(this, "expectBox");
  filter_ = NewCombo(this, "filterBox");
  descriptions_ = NewCombo(this, "descriptionsBox");
  alignments_ = NewCombo(this, "alignmentsBox");
  matrix_ = NewCombo(this, "matrixBox");
  geneticCode_ = NewCombo(this, "geneticCodeBox");
  const bool expasy = ServerKindOf(Blast2Server(data_)) == ServerKind::Expasy;
  expectLabel_ = new QLabel(expasy ? "&S threshold:" : "&Expect :", this);
  auto addRow = [&](QLabel* label, QWidget* field, int column) {
    label->setBuddy(field);
    grid->addWidget(label, row, column);
    grid->addWidget(field, row, column + 1);
  };
  addRow(expectLabel_, expect_, 0);
  addRow(new QLabel("&Filter :", this), filter_, 2);
  ++row;
  addRow(new QLabel("&Descriptions :", this), descriptions_, 0);
  addRow(new QLabel("&Alignments :", this), alignments_, 2);
  ++row;
  addRow(new QLabel("&Matrix :", this), matrix_, 0);
  geneticCodeLabel_ = new QLabel("&Genetic code :", this);
  addRow(geneticCodeLabel_, geneticCode_, 2);
  ++row;
  advanced_ = new QLineEdit(this);
  advanced_->setObjectName("advancedField");
  advanced_->setMaxLength(199);
  addRow(new QLabel("Advanced &options :", this), advanced_, 0);
  grid->removeWidget(advanced_);
  grid->addWidget(advanced_, row++, 1, 1, 3);
  gapped_ = new QCheckBox("Pe&rformed gapped alignment", this);
  gapped_->setObjectName("gappedBox");
  grid->addWidget(gapped_, row++, 1, 1, 3);
  save_ = new QPushButton("&Save", this);
  save_->setObjectName("saveButton");
  cancel_ = new QPushButton("&Cancel", this);
  cancel_->setObjectName("cancelButton");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(save_);
  buttons->addWidget(cancel_);
  grid->addLayout(buttons, row++, 0, 1, 4);
  grid->setRowStretch(row, 1);

  const bool config = mode_ == Mode::Config;
  file_->setVisible(config);
  filePath_->setVisible(config);
  getDb_->setVisible(config);
  getDb_->setEnabled(false);
  save_->setVisible(config);
  cancel_->setVisible(config);
  geneticCodeLabel_->setVisible(!config);
  geneticCode_->setVisible(!config);

  const std::pair<QComboBox*, std::string BLAST_DATA::*> lists[] = {
      {expect_, &BLAST_DATA::expect},         {filter_, &BLAST_DATA::filter}, {descriptions_, &BLAST_DATA::descriptions},
      {alignments_, &BLAST_DATA::alignments}, {matrix_, &BLAST_DATA::matrix},
  };
  for (const auto& [box, field] : lists) {
    connect(box, &QComboBox::currentIndexChanged, this, [this, box = box, field = field] {
      if (!filling_) data_.*field = ComboText(box, 19);
    });
  }
  connect(geneticCode_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) data_.geneticCode = ComboText(geneticCode_, 99);
  });
  connect(advanced_, &QLineEdit::textChanged, this, [this](const QString& t) {
    if (!filling_) data_.advanced = Cut(t.toStdString(), 199);
  });
  connect(gapped_, &QCheckBox::toggled, this, [this](bool on) {
    if (!filling_) data_.gappedFlag = on ? 1 : 0;
  });
  connect(file_, &QPushButton::clicked, this, &Blast2ParametersPage::ChangeBLAST2CFGFile);
  connect(save_, &QPushButton::clicked, this, &Blast2ParametersPage::saveRequested);
  connect(cancel_, &QPushButton::clicked, this, &Blast2ParametersPage::cancelRequested);
  InitDlgPage3(false);
}

void Blast2ParametersPage::InitDlgPage3(bool reset) {
  filling_ = true;
  if (reset) {
    advanced_->clear();
    gapped_->setChecked(false);
  }
  const ProfileFile cfg = LoadConfig(data_.blast2ConfigPath);
  const std::pair<QComboBox*, const char*> lists[] = {{expect_, "EXPECT"},
                                                      {filter_, "FILTER"},
                                                      {descriptions_, "DESCRI"},
                                                      {alignments_, "ALIGNS"},
                                                      {matrix_, "MATRIX"}};
  for (const auto& [box, stem] : lists) {
    const std::string key = stem;
    InitComboChoice(box, ReadListOfChoices(cfg, kBlast2Section, key + "_LIST"),
                    ReadDefChoice(cfg, kBlast2Section, key + "_DEF"));
  }
  if (mode_ == Mode::Sheet) InitComboDB(geneticCode_, ReadDBlist(Blast2DatabasesFile(data_), "GENETIC_CODE"));
  advanced_->setText(QStr(data_.advanced));
  gapped_->setChecked(data_.gappedFlag != 0);
  filePath_->setText(QStr(data_.blast2ConfigPath));
  const bool expasy = ServerKindOf(Blast2Server(data_)) == ServerKind::Expasy;
  expectLabel_->setText(expasy ? "&S threshold:" : "&Expect :");
  filling_ = false;
}

Blast2Defaults Blast2ParametersPage::Defaults() const {
  Blast2Defaults d;
  d.expect = std::max(0, expect_->currentIndex());
  d.filter = std::max(0, filter_->currentIndex());
  d.descriptions = std::max(0, descriptions_->currentIndex());
  d.alignments = std::max(0, alignments_->currentIndex());
  d.matrix = std::max(0, matrix_->currentIndex());
  d.gapped = data_.gappedFlag;
  d.advanced = data_.advanced;
  return d;
}

// "Fi&le :": another BLAST-2 configuration file; the page is refilled from
// it, or the record put back when it cannot be loaded.
void Blast2ParametersPage::ChangeBLAST2CFGFile() {
  FileDialogRequest request;
  request.title = "Choose a BLAST-2 config. file";
  request.filters = {{"Config. file (*.cfg)", "*.cfg"}, {"All files(*.*)", "*.*"}};
  request.defaultExtension = "cfg";
  request.initialFolder = FolderOf(data_.blast2ConfigPath);
  const FileDialogResult chosen = CurrentPlatform().OpenFileDialog(window(), request);
  if (chosen.status != FileDialogResult::Status::Chosen) return;
  const BLAST_DATA saved = data_;
  ResetBlast2Values(data_);
  data_.blast2ConfigPath = Cut(chosen.path, 260);
  data_.configPath = saved.configPath;
  if (!GlobalInitPage3(window(), data_)) {
    data_ = saved;
    return;
  }
  InitDlgPage3(true);
}

// ---------------------------------------------------------------------------
// The sheet.

Blast2Sheet::Blast2Sheet(QWidget* owner, BLAST_DATA& record) : QDialog(owner), data_(record) {
  setObjectName("blast2Sheet");
  setWindowTitle("BLAST 2.0 search");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  pages_ = new QTabWidget(this);
  pages_->addTab(CreatePage1(), "Prgms / Databases");
  pages_->addTab(CreatePage2(), "Sequence");
  parameters_ = new Blast2ParametersPage(data_, Blast2ParametersPage::Mode::Sheet, pages_);
  pages_->addTab(parameters_, "Parameters");
  pages_->setCurrentIndex(0);
  layout->addWidget(pages_);
  const SheetButtons buttons = AddSheetButtons(this, layout);
  ok_ = buttons.ok;
  cancel_ = buttons.cancel;
  connect(ok_, &QPushButton::clicked, this, &Blast2Sheet::OnOk);
  connect(cancel_, &QPushButton::clicked, this, &Blast2Sheet::OnCancel);
  Page1DlgProc_OnInit();
  Page2DlgProc_OnInit();
}

QWidget* Blast2Sheet::CreatePage1() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  program_ = NewCombo(page, "programBox");
  nucleic_ = NewCombo(page, "nucleicBox");
  protein_ = NewCombo(page, "proteinBox");
  organism_ = NewCombo(page, "organismBox");
  int row = 0;
  for (auto [text, box] : {std::pair<const char*, QComboBox*>{"Program :", program_},
                           {"Nucleic acids database :", nucleic_},
                           {"Protein database :", protein_},
                           {"Organism :", organism_}}) {
    grid->addWidget(new QLabel(text, page), row, 1);
    grid->addWidget(box, row++, 2);
  }
  logo_ = new ServerLogoWidget(page);
  grid->addWidget(logo_, row, 0);
  grid->addWidget(new QLabel("Server :", page), row, 1);
  server_ = new QLabel(page);
  server_->setObjectName("serverText");
  grid->addWidget(server_, row++, 2);
  grid->setRowStretch(row, 1);
  connect(program_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) OnProgramChanged();
  });
  connect(nucleic_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) data_.database = ComboText(nucleic_, 99);
  });
  connect(protein_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) data_.database = ComboText(protein_, 99);
  });
  connect(organism_, &QComboBox::currentIndexChanged, this, [this] {
    if (!filling_) data_.organism = ComboText(organism_, 99);
  });
  return page;
}

QWidget* Blast2Sheet::CreatePage2() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  fileButton_ = new QPushButton("&File name :", page);
  fileButton_->setObjectName("fileButton");
  fileName_ = new QLabel(page);
  fileName_->setObjectName("fileName");
  fileName_->setFrameShape(QFrame::StyledPanel);
  grid->addWidget(fileButton_, 0, 0);
  grid->addWidget(fileName_, 0, 1, 1, 3);
  fetch_ = new QPushButton("Fetch :", page);
  fetch_->setObjectName("fetchButton");
  identifier_ = new QLineEdit(page);
  identifier_->setObjectName("identifierField");
  identifier_->setMaxLength(static_cast<int>(kNcbiIdentifierMax));
  fetchDb_ = NewCombo(page, "fetchDatabaseBox");
  fetchDb_->setMinimumContentsLength(12);
  grid->addWidget(fetch_, 1, 0);
  grid->addWidget(identifier_, 1, 1);
  grid->addWidget(new QLabel("from :", page), 1, 2);
  grid->addWidget(fetchDb_, 1, 3);
  nameBox_ = new QCheckBox("Sequence &name :", page);
  nameBox_->setObjectName("nameBox");
  name_ = new QLineEdit(page);
  name_->setObjectName("nameField");
  grid->addWidget(nameBox_, 2, 0);
  grid->addWidget(name_, 2, 1, 1, 3);
  auto* label = new QLabel("&Sequence :", page);
  sequence_ = new QPlainTextEdit(page);
  sequence_->setObjectName("sequenceField");
  label->setBuddy(sequence_);
  grid->addWidget(label, 3, 0, Qt::AlignTop);
  grid->addWidget(sequence_, 3, 1, 1, 3);
  grid->setRowStretch(3, 1);
  for (std::string_view db : SZLISTNCBIDB) fetchDb_->addItem(QStr(db));
  fetchDb_->setCurrentIndex(0);

  connect(fileButton_, &QPushButton::clicked, this, &Blast2Sheet::TraiteChoixFichier);
  connect(fetch_, &QPushButton::clicked, this, &Blast2Sheet::FetchDBseqForBlastDlg);
  connect(nameBox_, &QCheckBox::toggled, this, [this](bool on) {
    data_.titleFlag = on ? 1 : 0;
    name_->setEnabled(on);
  });
  connect(name_, &QLineEdit::textChanged, this, [this](const QString& t) {
    const std::string name = t.toStdString();
    if (name.size() > 1) data_.title = std::string(">").append(name, 0, 27);
  });
  connect(sequence_, &QPlainTextEdit::textChanged, this, [this] {
    const std::string text = sequence_->toPlainText().toStdString();
    data_.sequence = text.size() < 2 ? std::string() : text;
  });
  return page;
}

void Blast2Sheet::Page1DlgProc_OnInit() {
  filling_ = true;
  const std::string dbFile = Blast2DatabasesFile(data_);
  if (!FileReadable(dbFile)) MyErrMsgBox(IDS_CAPTION, IDS_BLAST2_NO_DB_FILE, this);
  const ProfileFile cfg = LoadConfig(data_.blast2ConfigPath);
  const std::string programs = ReadListOfChoices(cfg, kBlast2Section, "PRG_LIST");
  InitComboChoice(program_, programs, ReadDefChoice(cfg, kBlast2Section, "PRG_DEF"));
  InitComboDB(nucleic_, ReadDBlist(dbFile, "Nucl-db"));
  InitComboDB(protein_, ReadDBlist(dbFile, "Prot-db"));
  const std::string server = Blast2Server(data_);
  server_->setText(QStr(server));
  logo_->DisplayServerLogo(server);
  filling_ = false;
  OnProgramChanged();
  filling_ = true;
  if (data_.organism == "NOT_USE") {
    organism_->setEnabled(false);
  } else {
    std::vector<std::string> lines;
    ReadOrganisms(Blast2OrganismFile(data_), lines);
    for (const std::string& line : lines) organism_->addItem(QStr(line));
    ApplyPageDefaults(data_);
    organism_->setCurrentIndex(organism_->findText(QStr(data_.organism), Qt::MatchExactly | Qt::MatchCaseSensitive));
    if (data_.organism.empty()) organism_->setCurrentIndex(-1);
  }
  filling_ = false;
}

// A program change stores the program, enables the database list of its
// kind and takes that list's current entry as the database.
void Blast2Sheet::OnProgramChanged() {
  data_.program = ComboText(program_, 19);
  const bool protein = IsProteinProgram(data_.program);
  protein_->setEnabled(protein && protein_->count() > 0);
  nucleic_->setEnabled(!protein && nucleic_->count() > 0);
  data_.database = ComboText(protein ? protein_ : nucleic_, 99);
}

void Blast2Sheet::Page2DlgProc_OnInit() {
  if (ServerKindOf(Blast2Server(data_)) == ServerKind::Expasy) {
    data_.titleFlag = 0;
    nameBox_->setChecked(false);
    nameBox_->setEnabled(false);
    name_->setEnabled(false);
    return;
  }
  nameBox_->setChecked(data_.titleFlag != 0);
  name_->setEnabled(data_.titleFlag != 0);
}

// "&File name :": a sequence file read into the name and sequence fields.
void Blast2Sheet::TraiteChoixFichier() {
  ChosenSequence chosen;
  if (!ChooseSequenceFile(this, FolderOf(data_.blast2ConfigPath), chosen)) {
    if (!chosen.path.empty()) MyTxtErrMsgBox(IDS_CAPTION, IDS_CANNOT_READ_FILE, this, chosen.path);
    return;
  }
  fileName_->setText(QStr(chosen.path));
  name_->setText(QStr(chosen.name));
  sequence_->setPlainText(QString::fromLatin1(chosen.text.get()));
}

// "Fetch :": the entry downloaded through libseqfetch.
void Blast2Sheet::FetchDBseqForBlastDlg() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const std::string id = identifier_->text().toStdString();
  int status = 0;
  SequenceText text = RetrieveNcbiSequence(id, fetchDb_->currentIndex() + 1, status);
  QApplication::restoreOverrideCursor();
  if (!text) {
    if (const int message = NcbiStatusMessage(status); message != 0) MyInfoMsgBox(IDS_CAPTION, message, this);
    return;
  }
  name_->setText(QStr(id));
  sequence_->setPlainText(QString::fromLatin1(text.get()));
}

void Blast2Sheet::OnOk() {
  Apply_Request(this, data_);
  accept();
}

void Blast2Sheet::OnCancel() {
  ResetBlast2Values(data_);
  reject();
}

// ---------------------------------------------------------------------------
// "BLAST2 default values".

Blast2DefaultsDialog::Blast2DefaultsDialog(QWidget* owner, BLAST_DATA& record) : QDialog(owner), data_(record) {
  setObjectName("blast2Defaults");
  setWindowTitle("BLAST2 default values");
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  page_ = new Blast2ParametersPage(data_, Blast2ParametersPage::Mode::Config, this);
  layout->addWidget(page_);
  connect(page_, &Blast2ParametersPage::saveRequested, this, &Blast2DefaultsDialog::OnSave);
  connect(page_, &Blast2ParametersPage::cancelRequested, this, &QDialog::reject);
}

void Blast2DefaultsDialog::OnSave() {
  if (!SaveBlast2Defaults(data_, page_->Defaults())) {
    MyTxtErrMsgBox(IDS_CAPTION, 258, this, data_.blast2ConfigPath);
    reject();
    return;
  }
  accept();
}

int PrepBlast2search(QWidget* owner, const std::string& blast2ConfigPath, const std::string& configPath) {
  BLAST_DATA data;
  ResetBlast2Values(data);
  data.blast2ConfigPath = Cut(blast2ConfigPath, 260);
  data.configPath = Cut(configPath, 260);
  if (!GlobalInitPage1(owner, data) || !GlobalInitPage3(owner, data)) return 0;
  Blast2Sheet sheet(owner, data);
  return sheet.exec() == QDialog::Accepted ? 1 : 0;
}

int BLAST2_PREF(QWidget* owner, const std::string& blast2ConfigPath, const std::string& configPath) {
  BLAST_DATA data;
  ResetBlast2Values(data);
  data.blast2ConfigPath = Cut(blast2ConfigPath, 260);
  data.configPath = Cut(configPath, 260);
  if (!GlobalInitPage3(owner, data)) return 0;
  Blast2DefaultsDialog dialog(owner, data);
  return dialog.exec() == QDialog::Accepted ? 1 : 0;
}
