#pragma once

#include "app/StartContext.h"

#include <QWidget>

#include <memory>

class ClickLabel;
class DriveFolders;
class DrivePane;
class FilePane;
class FolderPane;
class MergeCommand;
class MergeListController;
class MergeListModel;
class MergeListView;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The program's only window: builds its controls from the design and wires each
// notification that has a handler to it. The steps themselves live in the parts.
class MainWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MainWindow)

public:
    explicit MainWindow(const StartContext& context);
    ~MainWindow() override;

private:
    void buildControls();
    void buildBrowser();
    void buildButtons();
    void buildLabelsAndTexts();
    void applyDesign();
    void applyTabOrder();
    void applyAccessibility();
    void showStartFolder();
    void connectHandlers();
    void load();

    void onDriveChanged();
    void onFolderChanged();
    void onFilePathChanged();
    void toggleLongNameView();

    StartContext m_context;
    std::unique_ptr<DriveFolders> m_driveFolders;

    DrivePane* m_driOperate = nullptr;
    FolderPane* m_dirOperate = nullptr;
    FilePane* m_filOperate = nullptr;
    QPushButton* m_cmdAdd = nullptr;
    QPushButton* m_cmdAddAll = nullptr;
    QPushButton* m_cmdDel = nullptr;
    QPushButton* m_cmdDelAll = nullptr;
    QPushButton* m_cmdUp = nullptr;
    QPushButton* m_cmdDown = nullptr;
    QPushButton* m_cmdUnite = nullptr;
    QPushButton* m_cmdExit = nullptr;
    QLabel* m_labUnite = nullptr;
    QLabel* m_labSave = nullptr;
    ClickLabel* m_labElongate = nullptr;
    MergeListView* m_lstUnite = nullptr;
    QPlainTextEdit* m_txtHelp = nullptr;
    QLineEdit* m_txtUnite = nullptr;
    MergeListModel* m_model = nullptr;
    MergeListController* m_mergeList = nullptr;
    std::unique_ptr<MergeCommand> m_merge;
};
