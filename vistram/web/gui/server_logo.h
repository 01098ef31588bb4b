// The logos of the request servers (images 1004 to 1008), drawn by the
// program itself: a coloured plate with the server's short name.
#pragma once
#include <QPixmap>
#include <QWidget>
#include <string>

// The logo image `id` (1004 NCBI, 1005 ExPASy, 1006 LABB, 1007 Infobiogen,
// 1008 LABA); a null pixmap for any other id.
QPixmap DrawBitmap(int id);

// A small widget that shows the logo of a server address (nothing when the
// address names no known server).
class ServerLogoWidget : public QWidget {
  Q_OBJECT
 public:
  explicit ServerLogoWidget(QWidget* parent = nullptr);
  // DisplayServerLogo: shows the logo of `server`.
  void DisplayServerLogo(const std::string& server);
  int LogoId() const { return logo_; }
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int logo_ = 0;
  QPixmap pixmap_;
};
