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

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

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
    void keepOnScreen();

    StartContext m_context;
    std::unique_ptr<DriveFolders> m_driveFolders;

    DrivePane* m_drivePane = nullptr;
    FolderPane* m_folderPane = nullptr;
    FilePane* m_filePane = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_addAllButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_removeAllButton = nullptr;
    QPushButton* m_moveUpButton = nullptr;
    QPushButton* m_moveDownButton = nullptr;
    QPushButton* m_mergeButton = nullptr;
    QPushButton* m_exitButton = nullptr;
    QLabel* m_mergeListLabel = nullptr;
    QLabel* m_outputLabel = nullptr;
    ClickLabel* m_longNameToggle = nullptr;
    MergeListView* m_mergeListView = nullptr;
    QPlainTextEdit* m_helpText = nullptr;
    QLineEdit* m_outputName = nullptr;
    MergeListModel* m_model = nullptr;
    MergeListController* m_mergeList = nullptr;
    std::unique_ptr<MergeCommand> m_merge;
    bool m_fittedWithFrame = false;
};
