// Registration of the system components and their published properties.
#include "util/components/system_component_classes.h"

#include "platform/gui/image_list.h"
#include "platform/gui/menus.h"
#include "util/components/balloon_tray_icon.h"
#include "util/components/file_association.h"
#include "util/components/file_operation.h"
#include "util/components/file_storage.h"
#include "util/components/one_instance.h"
#include "util/components/system_components.h"
#include "util/components/wav_player.h"

const std::vector<TUtlClassEntry>& SystemComponentClasses() {
  static const std::vector<TUtlClassEntry> classes = {
      UtlClassEntry<TUtlCustomFileStorage>("TUtlCustomFileStorage"),
      UtlClassEntry<TUtlAutoRun>("TUtlAutoRun"),
      UtlClassEntry<TUtlOneInstance>("TUtlOneInstance"),
      UtlClassEntry<TUtlShutdown>("TUtlShutdown"),
      UtlClassEntry<TUtlBalloonTrayIcon>("TUtlBalloonTrayIcon"),
      UtlClassEntry<TUtlFileStorage>("TUtlFileStorage"),
      UtlClassEntry<TUtlWav>("TUtlWav"),
      UtlClassEntry<TUtlFileOperation>("TUtlFileOperation"),
      UtlClassEntry<TUtlFileAssociation>("TUtlFileAssociation"),
      UtlClassEntry<TUtlStartButtonProperties>("TUtlStartButtonProperties"),
      UtlClassEntry<TUtlColorPicker>("TUtlColorPicker"),
  };
  return classes;
}

void RegisterSystemComponentClasses() {
  using FS = TUtlFileStorage;
  RegisterProps<FS>("TUtlFileStorage", {StrProp<FS>("SaveName", &FS::SaveName, &FS::SetSaveName),
                                        StrProp<FS>("FileName", &FS::FileName, &FS::SetFileName),
                                        BoolProp<FS>("AutoSave", &FS::AutoSave, &FS::SetAutoSave)});
  using FO = TUtlFileOperation;
  RegisterProps<FO>("TUtlFileOperation",
                    {ObjectProp("FileList", &FO::FileList), StrProp<FO>("DestFolder", &FO::DestFolder, &FO::SetDestFolder),
                     StrProp<FO>("ProgressTitle", &FO::ProgressTitle, &FO::SetProgressTitle),
                     EnumProp("Operation", {"fotCopy", "fotDelete", "fotMove", "fotRename"}, &FO::Operation,
                              &FO::SetOperation),
                     SetProp("Options",
                             {"fofAllowUndo", "fofFilesOnly", "fofNoConfirmation", "fofNoConfirmMkDir", "fofNoErrorUI",
                              "fofRenameCollision", "fofSilent", "fofSimpleProgress"},
                             &FO::Options, &FO::SetOptions)});
  using FA = TUtlFileAssociation;
  RegisterProps<FA>("TUtlFileAssociation",
                    {StrProp<FA>("Extension", &FA::Extension, &FA::SetExtension),
                     StrProp<FA>("ExtDescription", &FA::ExtDescription, &FA::SetExtDescription),
                     StrProp<FA>("FileDescription", &FA::FileDescription, &FA::SetFileDescription),
                     StrProp<FA>("IconFile", &FA::IconFile, &FA::SetIconFile),
                     IntProp("IconIndex", &FA::IconIndex, &FA::SetIconIndex),
                     BoolProp("ReadOnly", &FA::ReadOnly, &FA::SetReadOnly)});
  using OI = TUtlOneInstance;
  RegisterProps<OI>("TUtlOneInstance",
                    {BoolProp("ActivatePrevInstance", &OI::ActivatePrevInstance, &OI::SetActivatePrevInstance),
                     BoolProp("ExeNameAsIdentifier", &OI::ExeNameAsIdentifier, &OI::SetExeNameAsIdentifier),
                     StrProp<OI>("Message", &OI::Message, &OI::SetMessage),
                     StrProp<OI>("Identifier", &OI::Identifier, &OI::SetIdentifier),
                     BoolProp("ShowMessage", &OI::ShowMessage, &OI::SetShowMessage)});
  using AR = TUtlAutoRun;
  RegisterProps<AR>("TUtlAutoRun",
                    {BoolProp("AutoRun", &AR::AutoRun, &AR::SetAutoRun),
                     StrProp<AR>("FileName", &AR::FileName, &AR::SetFileName),
                     EnumProp("Kind",
                              {"aekMachineRun", "aekMachineRunOnce", "aekUserRun", "aekUserRunOnce", "aekServiceRun",
                               "aekServiceRunOnce"},
                              &AR::Kind, &AR::SetKind)});
  using SD = TUtlShutdown;
  RegisterProps<SD>("TUtlShutdown",
                    {EnumProp("ActionType",
                              {"aatPowerOff", "aatShutdown", "aatReboot", "aatLogOff", "aatSuspend", "aatHibernate"},
                              &SD::ActionType, &SD::SetActionType),
                     BoolProp("Force", &SD::Force, &SD::SetForce)});
  using TI = TUtlBalloonTrayIcon;
  RegisterProps<TI>("TUtlBalloonTrayIcon",
                    {BoolProp("CycleIcons", &TI::CycleIcons, &TI::SetCycleIcons),
                     StrProp<TI>("Hint", &TI::Hint, &TI::SetHint), RefProp("ImageList", &TI::ImageList, &TI::SetImageList),
                     IntProp("ImageIndex", &TI::ImageIndex, &TI::SetImageIndex),
                     BoolProp("MinimizeToTray", &TI::MinimizeToTray, &TI::SetMinimizeToTray),
                     BoolProp("MinimizeOnStart", &TI::MinimizeOnStart, &TI::SetMinimizeOnStart),
                     RefProp("PopupMenu", &TI::PopupMenu, &TI::SetPopupMenu),
                     BoolProp("PopupByLeft", &TI::PopupByLeft, &TI::SetPopupByLeft),
                     BoolProp("ShowHint", &TI::ShowHint, &TI::SetShowHint), BoolProp("Visible", &TI::Visible, &TI::SetVisible),
                     StrProp<TI>("InfoText", &TI::InfoText, &TI::SetInfoText),
                     StrProp<TI>("InfoTitle", &TI::InfoTitle, &TI::SetInfoTitle),
                     IntProp("InfoTimeout", &TI::InfoTimeout, &TI::SetInfoTimeout),
                     EnumProp("InfoType", {"tiiNone", "tiiInfo", "tiiWarning", "tiiError"}, &TI::InfoType, &TI::SetInfoType)});
  UtlRegisterClassesSafe(SystemComponentClasses());
}
