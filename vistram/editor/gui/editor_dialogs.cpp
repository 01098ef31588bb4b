#include "vistram/editor/gui/editor_dialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "vistram/editor/msa_edit.h"
#include "vistram/editor/msa_open.h"
#include "vistram/platform/platform.h"

namespace {

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithoutExtension(const std::string& name) {
  const std::size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

const char* Extension(MsaFileFormat format) {
  switch (format) {
    case MsaFileFormat::kFasta: return "fasta";
    case MsaFileFormat::kClustal: return "aln";
    default: return "msf";
  }
}

QDialogButtonBox* OkCancel(QDialog* d) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
  buttons->button(QDialogButtonBox::Ok)->setText("&OK");
  buttons->button(QDialogButtonBox::Cancel)->setText("&Cancel");
  QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);
  return buttons;
}

}  // namespace

bool ChoisiFichierMSF(QWidget* owner, std::string& fileName, std::string& fileTitle, const std::string& startFolder,
                      int mode, bool* failed) {
  FileDialogRequest request;
  request.filters = {{"MSF file (*.msf)", "*.msf"}};
  request.defaultExtension = "msf";
  request.initialFolder = startFolder;
  if (mode == 10) {
    request.title = "Open a MSF file";
    request.mustExist = true;
  } else {
    request.title = "Save a MSF file";
    request.filters.push_back({"Aligned FASTA file (*.fasta)", "*.fasta"});
    request.filters.push_back({"Clustal file (*.aln)", "*.aln"});
    request.initialName = fileTitle;
    request.mustExist = false;
  }
  const FileDialogResult result = mode == 10 ? CurrentPlatform().OpenFileDialog(owner, request)
                                             : CurrentPlatform().SaveFileDialog(owner, request);
  if (failed) *failed = result.status == FileDialogResult::Status::Failed;
  if (result.status != FileDialogResult::Status::Chosen || result.path.empty()) return false;
  fileName = result.path.substr(0, kMsaTitleWidth);
  fileTitle = (result.title.empty() ? FileName(result.path) : result.title).substr(0, 255);
  return true;
}

bool TesteEditNum(std::string& text, bool allowMinus) {
  std::string kept;
  for (char c : text) {
    if ((c >= '0' && c <= '9') || (allowMinus && c == '-')) kept += c;
  }
  const bool removed = kept.size() != text.size();
  text = kept;
  return removed;
}

// ---------------------------------------------------------------------------

SauveMsfDlg::SauveMsfDlg(const DarUvaData& msa, QWidget* owner) : QDialog(owner), msa_(msa) {
  setObjectName("saveMsf");
  setWindowTitle("Save a MSF file");
  folder_ = Folder(msa.title);
  auto* chooser = new QPushButton("File name:", this);
  chooser->setObjectName("chooseFile");
  name_ = new QLabel(QString::fromStdString(WithoutExtension(FileName(msa.title)) + ".msf"), this);
  name_->setObjectName("fileName");
  name_->setMinimumWidth(220);
  name_->setFrameShape(QFrame::Panel);
  name_->setFrameShadow(QFrame::Sunken);
  type_ = new QComboBox(this);
  type_->setObjectName("fileType");
  type_->addItems({"MSF", "Aligned FASTA", "Clustal"});
  from_ = new QLineEdit("1", this);
  from_->setObjectName("from");
  to_ = new QLineEdit(QString::number(msa.columnCount), this);
  to_->setObjectName("to");
  scale_ = new QLineEdit("1", this);
  scale_->setObjectName("scale");
  for (QLineEdit* e : {from_, to_, scale_}) {
    e->setMaxLength(9);
    connect(e, &QLineEdit::textChanged, this, [this, e] { DigitsOnly(e); });
  }
  width_ = new QSpinBox(this);
  width_->setObjectName("width");
  width_->setRange(50, 150);
  width_->setValue(50);
  consensus_ = new QCheckBox("Save consensus", this);
  consensus_->setObjectName("saveConsensus");
  consensus_->setChecked(true);

  auto* grid = new QGridLayout;
  grid->addWidget(chooser, 0, 0);
  grid->addWidget(name_, 0, 1);
  grid->addWidget(new QLabel("File type:", this), 1, 0);
  grid->addWidget(type_, 1, 1);
  grid->addWidget(new QLabel("From:", this), 2, 0);
  grid->addWidget(from_, 2, 1);
  grid->addWidget(new QLabel("To:", this), 3, 0);
  grid->addWidget(to_, 3, 1);
  grid->addWidget(new QLabel("Scale begins at:", this), 4, 0);
  grid->addWidget(scale_, 4, 1);
  grid->addWidget(new QLabel("Nb. characters / line:", this), 5, 0);
  grid->addWidget(width_, 5, 1);
  grid->addWidget(consensus_, 6, 0, 1, 2);
  QDialogButtonBox* buttons = OkCancel(this);
  connect(buttons, &QDialogButtonBox::accepted, this, [this] {
    if (TrySave()) accept();
  });
  connect(chooser, &QPushButton::clicked, this, &SauveMsfDlg::ChooseFile);
  connect(type_, &QComboBox::currentIndexChanged, this, [this] {
    name_->setText(QString::fromStdString(WithoutExtension(name_->text().toStdString()) + "." + Extension(Format())));
  });
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
}

void SauveMsfDlg::DigitsOnly(QLineEdit* edit) {
  std::string text = edit->text().toStdString();
  if (!TesteEditNum(text, false)) return;
  QApplication::beep();
  edit->setText(QString::fromStdString(text));
}

MsaFileFormat SauveMsfDlg::Format() const {
  switch (type_->currentIndex()) {
    case 1: return MsaFileFormat::kFasta;
    case 2: return MsaFileFormat::kClustal;
    default: return MsaFileFormat::kMsf;
  }
}

void SauveMsfDlg::ChooseFile() {
  std::string path, title = name_->text().toStdString();
  bool failed = false;
  if (ChoisiFichierMSF(this, path, title, folder_, 0, &failed)) {
    SetChosenFile(path);
  } else if (failed) {
    name_->clear();
  }
}

void SauveMsfDlg::SetChosenFile(const std::string& path) {
  folder_ = Folder(path);
  const MsaFileFormat format = MsaFormatFromPath(path);
  if (format != MsaFileFormat::kUnknown) type_->setCurrentIndex(static_cast<int>(format));
  name_->setText(QString::fromStdString(FileName(path)));
}

std::string SauveMsfDlg::TargetPath() const {
  const std::string base = WithoutExtension(name_->text().toStdString()).substr(0, 10);
  return folder_ + base + "." + Extension(Format());
}

bool SauveMsfDlg::TrySave() {
  const long from = from_->text().toLong(), to = to_->text().toLong();
  const long scale = scale_->text().toLong();
  if (!(from < to && from >= 1 && to <= msa_.columnCount && to - from >= 30) ||
      WithoutExtension(name_->text().toStdString()).empty()) {
    from_->setFocus();
    return false;
  }
  const std::string path = TargetPath();
  if (SaveMsaAs(Format(), width_->value(), path, msa_, static_cast<int>(from - 1), static_cast<int>(scale),
                static_cast<int>(to - 1), consensus_->isChecked()) != 1) {
    // The user must know that the alignment was not saved.
    CurrentPlatform().MessageBox(this, kCaptionVistram, CannotWriteMessage(path), MsgIcon::Error, MsgButtons::Ok);
  }
  return true;
}

// ---------------------------------------------------------------------------

bool ParseThreshold(const std::string& text, int rows, int& threshold) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  const long value = std::stol(text);
  if (value > rows) return false;
  threshold = static_cast<int>(value);
  return true;
}

bool ConsensusDLG(QWidget* owner, MsaEditSession& session) {
  QDialog d(owner);
  d.setObjectName("consensusDialog");
  d.setWindowTitle("Make a consensus");
  DarUvaData& msa = session.Msa();
  auto* total = new QLabel(QString::number(msa.SequenceCount()), &d);
  total->setObjectName("totalSeq");
  auto* limit = new QLineEdit(QString::number(msa.consensusThreshold), &d);
  limit->setObjectName("strictLimit");
  limit->setMaxLength(9);
  auto* form = new QFormLayout;
  form->addRow("Total Seq   :", total);
  form->addRow("Strict limit:", limit);
  QDialogButtonBox* buttons = OkCancel(&d);
  bool changed = false;
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, [&] {
    int threshold = 0;
    if (!ParseThreshold(limit->text().toStdString(), msa.SequenceCount(), threshold)) {
      limit->setFocus();
      return;
    }
    changed = session.SetConsensusThreshold(threshold);
    d.accept();
  });
  auto* layout = new QVBoxLayout(&d);
  layout->addLayout(form);
  layout->addWidget(buttons);
  limit->setFocus();
  limit->selectAll();
  d.exec();
  return changed;
}

bool TaillePoliceDlg(QWidget* owner, int currentPoints, int& points) {
  QDialog d(owner);
  d.setObjectName("fontSizeDialog");
  d.setWindowTitle("Font size");
  auto* value = new QLineEdit(QString::number(currentPoints), &d);
  value->setObjectName("fontSizeValue");
  value->setReadOnly(true);
  auto* slider = new QSlider(Qt::Horizontal, &d);
  slider->setObjectName("fontSizeSlider");
  slider->setRange(4, 20);
  slider->setPageStep(4);
  slider->setTickInterval(2);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setValue(currentPoints);
  QObject::connect(slider, &QSlider::valueChanged, value, [value](int v) { value->setText(QString::number(v)); });
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel("Size (point):", &d));
  top->addWidget(value);
  auto* sliderRow = new QHBoxLayout;
  sliderRow->addWidget(new QLabel("4", &d));
  sliderRow->addWidget(slider);
  sliderRow->addWidget(new QLabel("20", &d));
  QDialogButtonBox* buttons = OkCancel(&d);
  buttons->button(QDialogButtonBox::Ok)->setText("&Ok");
  QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
  auto* layout = new QVBoxLayout(&d);
  layout->addLayout(top);
  layout->addLayout(sliderRow);
  layout->addWidget(buttons);
  if (d.exec() != QDialog::Accepted) return false;
  points = slider->value();
  return true;
}

// ---------------------------------------------------------------------------

MsaProgressDialog::MsaProgressDialog(int rows, QWidget* owner) : QDialog(owner) {
  setObjectName("msaProgress");
  setWindowTitle("DorUvo Editor");
  setModal(false);
  text_ = new QLabel(QString("1/%1").arg(rows), this);
  bar_ = new QProgressBar(this);
  bar_->setRange(0, rows);
  bar_->setMinimumWidth(260);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel("Processing:", this));
  layout->addWidget(text_);
  layout->addWidget(bar_);
}

void MsaProgressDialog::Step(int done, int total) {
  // Repainted once per percent: a large selection must not wait on the display.
  const int percent = total > 0 ? static_cast<int>(100LL * done / total) : 100;
  if (percent == shownPercent_ && done != total) return;
  shownPercent_ = percent;
  bar_->setValue(done);
  text_->setText(QString("%1/%2").arg(done).arg(total));
  bar_->repaint();
  text_->repaint();
}
