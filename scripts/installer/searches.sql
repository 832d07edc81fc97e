-- What the package's wxs cannot say to wixl, added to the compiled MSI by
-- scripts/msi (msibuild -q, one statement per line).
--
-- The stand-in DLLs' components install only where no file of their name
-- stands that this package did not install: AppSearch finds vmrdetect.dll
-- and qdump.dll in INSTALLDIR as given on the command line and in the
-- folder an earlier version was installed to (its path comes from the
-- registry search PreviousInstallDir); the folder this package's own
-- stand-in was installed to comes from the registry (OWNVMRDETECTDIR,
-- OWNQDUMPDIR) and is made the path of its file by a custom action. A file
-- found that is not this package's own keeps its component out; a package pointed at the product's
-- folder therefore leaves the product's DLLs as they are, and removing it
-- later leaves them too.
CREATE TABLE `DrLocator` (`Signature_` CHAR(72) NOT NULL, `Parent` CHAR(72), `Path` CHAR(255), `Depth` SHORT PRIMARY KEY `Signature_`, `Parent`, `Path`)
CREATE TABLE `Condition` (`Feature_` CHAR(38) NOT NULL, `Level` SHORT NOT NULL, `Condition` CHAR(255) PRIMARY KEY `Feature_`, `Level`)
INSERT INTO `Signature` (`Signature`, `FileName`) VALUES ('GivenVmrdetect', 'vmrdetect.dll')
INSERT INTO `Signature` (`Signature`, `FileName`) VALUES ('GivenQdump', 'qdump.dll')
INSERT INTO `Signature` (`Signature`, `FileName`) VALUES ('PreviousVmrdetect', 'vmrdetect.dll')
INSERT INTO `Signature` (`Signature`, `FileName`) VALUES ('PreviousQdump', 'qdump.dll')
INSERT INTO `DrLocator` (`Signature_`, `Path`, `Depth`) VALUES ('GivenVmrdetect', '[INSTALLDIR]', 0)
INSERT INTO `DrLocator` (`Signature_`, `Path`, `Depth`) VALUES ('GivenQdump', '[INSTALLDIR]', 0)
INSERT INTO `DrLocator` (`Signature_`, `Parent`, `Depth`) VALUES ('PreviousVmrdetect', 'PreviousInstallDir', 0)
INSERT INTO `DrLocator` (`Signature_`, `Parent`, `Depth`) VALUES ('PreviousQdump', 'PreviousInstallDir', 0)
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('GIVENVMRDETECT', 'GivenVmrdetect')
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('GIVENQDUMP', 'GivenQdump')
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('PREVIOUSVMRDETECT', 'PreviousVmrdetect')
INSERT INTO `AppSearch` (`Property`, `Signature_`) VALUES ('PREVIOUSQDUMP', 'PreviousQdump')
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('OwnVmrdetectFile', 51, 'OWNVMRDETECT', '[OWNVMRDETECTDIR]vmrdetect.dll')
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('OwnQdumpFile', 51, 'OWNQDUMP', '[OWNQDUMPDIR]qdump.dll')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('OwnVmrdetectFile', 'OWNVMRDETECTDIR', 55)
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('OwnQdumpFile', 'OWNQDUMPDIR', 55)
INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('OwnVmrdetectFile', 'OWNVMRDETECTDIR', 55)
INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('OwnQdumpFile', 'OWNQDUMPDIR', 55)
UPDATE `Component` SET `Condition` = '(NOT GIVENVMRDETECT OR GIVENVMRDETECT ~= OWNVMRDETECT) AND (NOT PREVIOUSVMRDETECT OR PREVIOUSVMRDETECT ~= OWNVMRDETECT)' WHERE `Component` = 'StandInComponent'
UPDATE `Component` SET `Condition` = '(NOT GIVENQDUMP OR GIVENQDUMP ~= OWNQDUMP) AND (NOT PREVIOUSQDUMP OR PREVIOUSQDUMP ~= OWNQDUMP)' WHERE `Component` = 'StandInMonitor'
-- STANDINS=1 on the command line asks for the stand-ins as ADDLOCAL=StandIns
-- does; an upgrade keeps those an earlier version installed.
INSERT INTO `Condition` (`Feature_`, `Level`, `Condition`) VALUES ('StandIns', 1, 'STANDINS = 1 OR OWNVMRDETECTDIR OR OWNQDUMPDIR')
-- An upgrade without INSTALLDIR goes where the earlier version is.
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('InstallDirOfPrevious', 51, 'INSTALLDIR', '[PREVIOUSINSTALLDIR]')
INSERT INTO `InstallExecuteSequence` (`Action`, `Condition`, `Sequence`) VALUES ('InstallDirOfPrevious', 'PREVIOUSINSTALLDIR AND NOT INSTALLDIR', 60)
INSERT INTO `InstallUISequence` (`Action`, `Condition`, `Sequence`) VALUES ('InstallDirOfPrevious', 'PREVIOUSINSTALLDIR AND NOT INSTALLDIR', 60)
UPDATE `Property` SET `Value` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;INSTALLDIR;STANDINS' WHERE `Property` = 'SecureCustomProperties'
