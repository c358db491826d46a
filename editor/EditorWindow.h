#pragma once

#include <QMainWindow>
#include <QPrinter>
#include <QSet>
#include <QUndoStack>
#include <functional>
#include <memory>

#include "EditorControls.h"
#include "LabelLayout.h"
#include "SettingsFile.h"
#include "SheetState.h"

class QLineEdit;
class QPushButton;

namespace zukaro {

class EntryField;
class CommonDialog1;
class PreviewPane;
class SheetCommands;
class SheetPrinting;
class MessageBoxes;
class ProductMaster;

// The editor window ズカロ入力: owns the Sheet state for as long as it exists and holds the
// routines that its handlers share (preview, showing the current label, captions). The
// handlers themselves live in one file per concern (entry fields, label buttons, ...).
class EditorWindow : public QMainWindow {
    Q_OBJECT

public:
    // `settings` says where data.txt is read at start-up and written by pt保存.
    EditorWindow(CommonDialog1& dialog, MessageBoxes& messages, SettingsLocations settings,
                 QWidget* parent = nullptr);
    ~EditorWindow() override;

    SheetState& sheet() { return sheet_; }
    const SheetState& sheet() const { return sheet_; }
    const EditorControls& controls() const { return ui_; }
    CommonDialog1& dialog() { return dialog_; }
    MessageBoxes& messages() { return messages_; }
    const SettingsLocations& settingsLocations() const { return settings_; }
    PreviewPane& preview() { return *preview_; }
    SheetCommands& sheetCommands() { return *commands_; }
    // The printer 印刷 prints on; the print dialog starts from its settings.
    QPrinter& printer() { return printer_; }

    // Redraws the whole sheet on the preview and puts the focus in the JAN field.
    void showPreview();
    // The same after the program replaced what the fields show: the field that had the focus
    // neither stores nor moves on when it loses it.
    void showPreviewQuietly();
    // The JAN field's focus handling: redraw, frame the current label, counter, load the six
    // fields, disable 前候補, select the JAN text.
    void showCurrentLabel();
    // The last step of a command: the focus to the JAN field, which shows the current label
    // (also when the JAN field had the focus already).
    void focusText1();
    // The JAN field's first focus after the window opened shows the first real preview.
    void showFirstPreview();
    // Puts the current label's six texts into the entry fields.
    void loadEntryFields();

    // A field's store step: its text becomes the current label's item (the JAN field first
    // completes the check digit and says so when it changed it), one step that can be undone.
    // The price field's move to the next label is not part of it. True when the product master
    // filled the label from the JAN code; the preview then shows the filled label.
    bool storeField(EntryField* field);
    // The store step of the entry field being edited, if any: the one that has the focus in
    // this window, also while a dialog or message box has it for the moment, when the user
    // typed into it.
    void storeFocusedField();
    // What a menu entry (or its shortcut) does: the field being edited stores its text first,
    // the price field without moving on, and focus moves made by the command do not run the
    // fields' leave handlers again.
    void runMenuCommand(const std::function<void()>& command);
    // After a save: label 1 shown as after 「<<」, without the focused field moving on.
    void returnToLabel1();
    // True while the focus moves without the fields' leave handlers running.
    bool quietFocusMove() const { return quietFocusMove_; }
    // The preview redrawn with the current label's frame, the focus left where it is.
    void redrawPreview();
    // Label n holds a code the product master did not know when it was entered, and no
    // product name yet: the clerk is to type its texts. The preview marks it 「×未登録」.
    bool awaitsTexts(int n) const;

    void setFileName(const QString& name);

    // A change of the sheet that can be undone: runs `change` and, when the sheet changed, puts
    // one step on the undo stack. Consecutive changes with the same `mergeId` make one step.
    void edit(const QString& what, const std::function<void()>& change, int mergeId = -1);
    // Undo and redo: the sheet as in `content`, with `label` current, shown in full.
    void restore(const SheetContent& content, int label);
    QUndoStack& undoStack() { return undo_; }

    // Unsaved changes: the labels or the layout differ from what was last opened or saved.
    bool isModified() const;
    // What the sheet holds now counts as saved.
    void markSaved();
    // Before the sheet is replaced or the window closes: asks "変更を保存しますか？" when there
    // are unsaved changes. True when the command may go on (saved, or いいえ).
    bool confirmDiscard();
    // 新規作成: empty labels, no file, the layout kept.
    void newSheet();
    // A note in the status bar.
    void say(const QString& text);

    // The shop's product master: a JAN code typed or scanned that it knows fills the label's
    // empty fields, in the same step as the code.
    void setProductMaster(ProductMaster* master);
    ProductMaster* productMaster() const { return master_; }
    // What 商品リスト (menu and button) opens; without one they are disabled.
    void setProductListOpener(std::function<void()> open);
    // What opens a product list file in 商品リスト, for a file that ファイルを開く finds to be a
    // list rather than a sheet.
    void setProductFileOpener(std::function<void(const QString&)> open) {
        openProductFile_ = std::move(open);
    }
    bool canOpenProductFile() const { return bool(openProductFile_); }
    void openProductFile(const QString& path) {
        if (openProductFile_) {
            openProductFile_(path);
        }
    }
    // A sheet of a product list in the editor: its labels, as a new sheet without a file
    // (after the unsaved-changes question).
    void openListSheet(const SheetState& sheet, const QString& title, const QDate& day = {});
    // The sheet a product list is laid out on: this window's layout and offsets, no labels.
    SheetState listBase() const;
    // A change of that layout asked for by the product list (its 「税込表示にする」): one step
    // to undo, named `what`, shown on the controls and the preview.
    void changeLayout(const QString& what, const std::function<void(Layout&)>& change);
    // Shows the caption-held states and box texts of the sheet on the buttons and boxes.
    void mirrorCaptions();

    // Connects a button to a command. Like a click on the old platform, the button takes the
    // focus first, so the field being edited stores its text before the command runs.
    void onClick(QPushButton* button, std::function<void()> command);
    // Connects a menu entry (and its shortcut) to a command run as runMenuCommand runs it.
    void onMenu(QAction* action, std::function<void()> command);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void startUp();
    void refreshTitle();
    // No labels, no file, no steps to undo, nothing unsaved; the layout stays.
    void emptySheet();
    // 全体: the zoom that shows the whole sheet in the preview, kept while the window resizes.
    void showWholeSheet();
    void fitWholeSheet();
    // The window's size and place, kept between runs in the user's settings folder.
    QString placeFile() const;
    void restoreWindowPlace();
    void saveWindowPlace() const;
    // Keeps the sheet shift in the user's settings when a change moved it, so the next start
    // puts the sheet there again; a failure is said in the status bar.
    void rememberSheetShift();
    // Shows where the sheet sits on the step boxes' tool tips.
    void showSheetShift();
    // Fills label n's empty texts from the product master's entry for `jan`; what it filled.
    QStringList fillFromMaster(int n, const QString& jan);
    // A red frame and a note when the JAN text will print without bars.
    void markJanField();
    // After a redraw: the strip over the preview names the labels whose texts overprint or
    // leave them, and the status bar what is new since the last redraw.
    void showLabelReport(const SheetReport& report);

    SheetState sheet_;
    EditorControls ui_;
    CommonDialog1& dialog_;
    MessageBoxes& messages_;
    SettingsLocations settings_;
    QString settingsWarning_;                       // shown once the window is up
    SheetOrigin rememberedShift_ = kStartUpOrigin;  // as the user's settings hold it
    QPrinter printer_{QPrinter::HighResolution};
    PreviewPane* preview_ = nullptr;  // picFrame, picDraw and the scroll bars
    std::unique_ptr<SheetCommands> commands_;
    std::unique_ptr<SheetPrinting> printing_;  // 印刷 / P_印刷
    QUndoStack undo_;
    ProductMaster* master_ = nullptr;
    QString masterProblem_;       // why the last look-up found nothing: the master did not answer
    bool masterUnknown_ = false;  // the last look-up's master answered: no such product
    QSet<QString> unknownCodes_;  // codes the master did not know when they were entered
    std::function<void()> openProductList_;
    std::function<void(const QString&)> openProductFile_;
    SheetContent saved_;
    int labelShows_ = 0;       // how often the current label was shown, to see a focus that missed
    bool fitting_ = false;     // 全体: the zoom follows the preview's size
    bool zoomChosen_ = false;  // 倍率 or 全体 clicked: the zoom is the clerk's
    bool placed_ = false;      // the first show has brought the window inside the screen
    bool firstPreviewShown_ = false;
    bool closing_ = false;
    bool quietFocusMove_ = false;

    // What the last redraw found, one line per label, and whether the status bar holds a note
    // of the command being run.
    QStringList toldReports_;
    bool saidSinceReport_ = false;
};

// Handler wiring, one function per concern.
void wireEntryFields(EditorWindow& window);
void wireLabelButtons(EditorWindow& window);
void wireStyleButtons(EditorWindow& window);
void wirePositionButtons(EditorWindow& window);
void wireFileMenu(EditorWindow& window);
void wirePriceControls(EditorWindow& window);
// Shows the layout's price settings and the current label's rate on their controls.
void mirrorPriceControls(const EditorControls& ui, const SheetState& sheet);
// The sale fields of the current label, the strike-through and the rate changes.
void wireSaleControls(EditorWindow& window);
void mirrorSaleControls(const EditorControls& ui, const SheetState& sheet);
// A sale field's store step: the current label's sale price, regular price or day, one step
// to undo. A day that cannot be read is said, stays in the field and is not stored; false then.
bool storeSaleField(EditorWindow& window, QLineEdit* field);

// The open command once a file is chosen (ファイルを開く(&O) after its dialog; also a file
// named on the command line): reads the label data file at `path` into the window and shows
// label 1. A file that fails the header check changes nothing and is reported; returns
// whether the file was opened.
bool openSheetFile(EditorWindow& window, const QString& path);

// ファイルの上書き保存(&S): the sheet's own file, or save as for a sheet without one. Returns
// whether the sheet was saved.
bool saveSheet(EditorWindow& window);

}  // namespace zukaro
