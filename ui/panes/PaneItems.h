#pragma once
// The panes of the tiles, actors and levels: the three folder panes with
// their New buttons, and the panes of one tile, actor, handler or level.
// The variables' panes are in PaneVariables.h.
#include <QPushButton>
#include <QString>

#include "ui/common/UDialogService.h"
#include "ui/panes/UPane.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QWidget;
class TPaneHost;
class TfraActions;
class TActorLookPanel;

namespace lvk {
struct TChange;
class TGame;
class TEventKind;
class TTile;
class TActor;
class THandler;
class TLevel;
}  // namespace lvk

// A button that remembers whether Ctrl was held at its last mouse press:
// a Ctrl-click on a New button keeps the current pane.
class TCtrlButton : public QPushButton {
  Q_OBJECT
public:
  using QPushButton::QPushButton;
  int CtrlRecord() const { return FCtrlRecord; }

protected:
  void mousePressEvent(QMouseEvent* Event) override;

private:
  int FCtrlRecord = 0;
};

// A new-handler button: it makes a handler of its event kind.
class TEvtBitBtn : public TCtrlButton {
  Q_OBJECT
public:
  TEvtBitBtn(const lvk::TEventKind& Kind, QWidget* Parent);
  const lvk::TEventKind& EventKind() const { return FKind; }

private:
  const lvk::TEventKind& FKind;
};

// A pane of the main window that works on its document.
class TItemPane : public TPane {
  Q_OBJECT
public:
  TItemPane(TPaneHost& Host, const QString& Name, const QString& Caption, const QString& LongHint,
            const QString& HelpKeyword);
  // A notice of the document while the pane is shown: a pane redraws what
  // another command changed of its element (a picture dropped on its tile).
  virtual void Follow(const lvk::TChange&) {}

protected:
  TPaneHost& Host() const { return FHost; }
  lvk::TGame& Game() const;
  // A name field (or comment) taken on leaving it and on Enter: Rename is called with
  // the text inside the step Step; an error goes on to the application's
  // error box with the field keeping its text.
  void BindNameField(QLineEdit* Field, const char* Step, std::function<void(const std::string&)> Rename);
  QLineEdit* NameField(const QString& ObjectName, const QString& Hint);
  TCtrlButton* NewButton(const QString& ObjectName, const QString& Glyph, const QString& Caption,
                         const QString& ShortHint, const QString& LongHint);

private:
  TPaneHost& FHost;
};

class TPaneTiles : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneTiles(TPaneHost& Host);
  TCtrlButton* butNewTile;
  QPushButton* butNewPaintedTile;
  QPushButton* butPaletteEditor;
  void butNewTileClick();
  // A new tile, blank (all transparent), in the painter at once.
  void butNewPaintedTileClick();
  void butPaletteEditorClick();
};

class TPaneTile : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneTile(TPaneHost& Host);
  void Show() override;
  lvk::TTile* Tile() const;
  void Follow(const lvk::TChange& Change) override;
  QLineEdit* edtTileName;
  QPushButton* butTileImport;
  QPushButton* butTileExport;
  QPushButton* butTilePaint;
  QLabel* imgTile;  // the picture, large and with crisp pixels
  // "(none)", then each colour of the picture; the data is the colour value
  // (red in the low byte), none for "(none)".
  QComboBox* cbxTileTransparent;
  void cbxTileTransparentChange(int Index);
  // Import of one file into the tile, its failure told in a warning box.
  void ImportFile(const QString& Path);
  void butTileImportClick();
  void butTileExportClick();
  void butTilePaintClick();

private:
  void ShowPicture();
  void ShowTransparentColors();
};

class TPaneActors : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneActors(TPaneHost& Host);
  TCtrlButton* butNewActor;
  void butNewActorClick();
};

class TPaneActor : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneActor(TPaneHost& Host);
  void Show() override;
  lvk::TActor* Actor() const;
  void Follow(const lvk::TChange& Change) override;
  // One button per event kind, in the registry's order.
  void CreateHandlerButtons();
  QLineEdit* edtActorName;
  QComboBox* cbxActorTiles;
  // What an OnCollision with any solid actor collides with.
  QCheckBox* cbxActorSolid;
  // Size, animations, frames and their preview.
  TActorLookPanel* pnlLook;
  QWidget* pnlNewHandler;
  QLabel* lblNewHandler;
  std::vector<TEvtBitBtn*> HandlerButtons;
  void cbxActorTilesChange(int Index);
  void cbxActorSolidClick(bool Solid);
  void butNewHandlerClick(TEvtBitBtn* Button);
};

class TPaneHandler : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneHandler(TPaneHost& Host);
  void Show() override;
  void Release() override;
  lvk::THandler* Handler() const;
  QGroupBox* gbxEventEditor;
  QPushButton* butEventOther;
  QPushButton* butEventHelp;
  TfraActions* fraActions;  // the handler's actions, below its event
  QLineEdit* edtHandlerComment;  // a note that tells handlers apart in the tree
  void Follow(const lvk::TChange& Change) override;
  QWidget* Editor() const { return FEditor; }
  void butEventOtherClick();
  void butEventHelpClick();

private:
  QWidget* FEditor = nullptr;
};

class TPaneLevels : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneLevels(TPaneHost& Host);
  TCtrlButton* butNewLevel;
  void butNewLevelClick();
};

class TPaneLevel : public TItemPane {
  Q_OBJECT
public:
  explicit TPaneLevel(TPaneHost& Host);
  void Show() override;
  lvk::TLevel* Level() const;
  void Follow(const lvk::TChange& Change) override;
  QLineEdit* edtLevelName;
  QPushButton* butEditLayout;
  QComboBox* cbxLevelMusic;  // "(none)", then the game's sounds
  // The level's size in cells and where its cells stay when it changes.
  QSpinBox* spnLevelWidth;
  QSpinBox* spnLevelHeight;
  QComboBox* cbxLevelAnchor;  // nine places, top left first, row by row
  QPushButton* butLevelResize;
  // The camera: the actor it follows ("(none)" first), its dead zone, locks.
  QComboBox* cbxCameraFollow;
  QSpinBox* spnDeadWidth;
  QSpinBox* spnDeadHeight;
  QCheckBox* chkLockX;
  QCheckBox* chkLockY;
  void butEditLayoutClick();
  void cbxLevelMusicChange(int Index);
  // One undo step; asks first when placed actors would be dropped.
  void butLevelResizeClick();
  void CameraChange();
};

