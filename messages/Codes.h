#pragma once

// Codes of the message catalogue (data/catalogue/mensagens.sql and botoes.sql),
// named once so that code and tests never retype them as numbers. Grouped and
// ordered as the catalogue files are; "@" counts in brackets where it helps.

namespace messages {

// Rows of Mensagens.
namespace code {

// A book's folder could not be mapped to or released from its drive, or removed
// (@ folder, @ drive letter); the error detail follows on a new line.
inline constexpr int BookFolderOrDriveFailed = 1;
// The drive scan found a registered book whose folder is gone.
inline constexpr int RegisteredFolderMissing = 2;
// Follows RegisteredFolderMissing once the record is gone and the letter is free.
inline constexpr int MissingBookUnregistered = 3;
inline constexpr int NoFreeLetterToInstall = 4;
// The install window's prompt to pick a book's ZIP file.
inline constexpr int ChooseZipPrompt = 5;
// The book's drive does not show it and no letter is free to mount it.
inline constexpr int NoFreeLetterToOpen = 7;
// End of a removal when files stayed behind (after RemovalFilesNotDeleted).
inline constexpr int BookRemovedFilesLeft = 10;
// Removal stopped because the book's drive could not be released.
inline constexpr int DriveNotReleased = 11;
// The book's drive does not show it; taken off the list, files kept.
inline constexpr int DriveLacksBookUnlisted = 12;
inline constexpr int BookAlreadyInstalled = 13;
// First entry of the book list, shown in brackets.
inline constexpr int BookListFirstEntry = 15;
// Error detail under BookFolderOrDriveFailed: the drive letter is not one letter.
inline constexpr int MapErrorInvalidLetter = 16;
// Install progress line while the ZIP file is unpacked.
inline constexpr int InstallUnpacking = 19;
// The ZIP file could not be deleted after unpacking; the install goes on.
inline constexpr int ZipNotDeleted = 20;
// Some files or subfolders of a removed book could not be deleted.
inline constexpr int RemovalFilesNotDeleted = 21;
// The book folder is missing after unpacking.
inline constexpr int InstallFolderMissing = 22;
// Install progress line once unpacking is done.
inline constexpr int InstallUnpacked = 23;
// Error detail under BookFolderOrDriveFailed: the folder to map does not exist.
inline constexpr int MapErrorFolderMissing = 24;
// Error detail under BookFolderOrDriveFailed: the letter belongs to a disk.
inline constexpr int MapErrorLetterIsDisk = 25;
inline constexpr int BookListTitle = 26;
// Information line of the install window (@ " [download folder]").
inline constexpr int InstallInformation = 27;
// Removal finished, files and folder deleted.
inline constexpr int RemovedAndDeleted = 30;
// Removal finished but the book folder could not be deleted.
inline constexpr int RemovedFolderKept = 31;
// Yes/no question before leaving the program.
inline constexpr int ConfirmExit = 32;
// A book cannot be opened while the course is running.
inline constexpr int CourseRunningOpen = 33;
inline constexpr int MainTitle = 34;
// Leaving from the book list is refused while the course is running.
inline constexpr int CourseRunningLeave = 35;
// Yes/no question before removing a book and deleting its files.
inline constexpr int ConfirmRemoval = 36;
// A book cannot be removed while the course is running.
inline constexpr int CourseRunningRemove = 37;
inline constexpr int BookInstalled = 38;
inline constexpr int ZipNotFound = 39;
// Notice without buttons while a removed book's files are deleted.
inline constexpr int DeletingFiles = 40;
inline constexpr int BookListInformation = 41;
// Appended to the mapping failure report: the letter shows another folder.
inline constexpr int MapErrorOtherFolder = 42;
inline constexpr int WineMissing = 43;
inline constexpr int Wine32Missing = 44;
// Linux was started without 32-bit support.
inline constexpr int Linux32Missing = 45;
// The book's start program (the launcher or its Autorun.exe) is missing.
inline constexpr int StartProgramMissing = 46;
// The start program exists but could not be started; the reason follows.
inline constexpr int StartProgramFailed = 47;
// Not a ZIP file, unreadable or encrypted.
inline constexpr int ZipUnreadable = 48;
// An entry failed its check (CRC or sizes).
inline constexpr int ZipEntryDamaged = 49;
// An entry would be written outside the book's folder or is a link.
inline constexpr int ZipEntryUnsafe = 50;
inline constexpr int NoDiskSpace = 51;
// The archive expands to more than any book, or far more than it is.
inline constexpr int ZipTooLarge = 52;
// The archive holds no file.
inline constexpr int ZipEmpty = 53;
// The book's folder could not be created or written; the reason follows.
inline constexpr int BookFolderNotWritten = 54;
// Follows RegisteredFolderMissing when the registry refused to drop the record.
inline constexpr int MissingBookNotUnregistered = 55;
inline constexpr int DownloadFolderMissing = 56;
// The ZIP file's name gives no book name (empty, or only dots).
inline constexpr int NameGivesNoBook = 57;
// The book name holds a character a folder name cannot, or ends in a dot.
inline constexpr int NameHasBadCharacter = 58;
// A Windows device name or one of the manager's own working folders.
inline constexpr int NameReserved = 59;
inline constexpr int NameTooLong = 60;
// A link or a file stands where the book's folder goes.
inline constexpr int BookFolderOccupied = 61;
// Removal refused: the folder is not one of its own directly in the download folder.
inline constexpr int RemovalOutsideDownload = 62;
// Removal refused: the folder also holds, or is, another registered book.
inline constexpr int RemovalSharedFolder = 63;
// The book registry refused a change; the reason follows.
inline constexpr int RegistryRefused = 64;
// The course's drive could not be written into the settings file; the reason follows.
inline constexpr int DriveCDNotWritten = 65;
// Removal stopped: the book's folder could not be taken out of the way; the reason follows.
inline constexpr int BookFolderNotMovedAside = 66;

// The line that gives the reason below a report (@ one of the reasons below).
inline constexpr int ReasonLine = 70;
// Reasons a file, folder or the registry could not be used.
inline constexpr int ReasonNoPermission = 71;
inline constexpr int ReasonDiskFull = 72;
inline constexpr int ReasonReadOnly = 73;
inline constexpr int ReasonNotFound = 74;
inline constexpr int ReasonNameTooLong = 75;
inline constexpr int ReasonInUse = 76;
inline constexpr int ReasonDiskError = 77;
inline constexpr int ReasonRegistryDamaged = 78;
inline constexpr int ReasonSystemError = 79;

// No Autorun.exe and Idioma.kvt at the archive's top, nor in its one folder.
inline constexpr int ZipHoldsNoBook = 67;
// An entry is compressed with a method that cannot be read.
inline constexpr int ZipMethodUnreadable = 68;
// Progress line while a book is extracted (@ book name, @ percent).
inline constexpr int InstallProgress = 69;
// A ZIP file handed to the manager (opened with it, or given to a second copy)
// came while it was busy: not installed, kept (@ the file).
inline constexpr int HandoverBusy = 80;

} // namespace code

// Rows of Botoes: the tooltips of the image buttons.
namespace hint {

// A button without a tooltip; no row has it.
inline constexpr int None = 0;
// Opens the book list.
inline constexpr int MyBooks = 1;
// Picks a book's ZIP file and installs it.
inline constexpr int SelectZip = 2;
inline constexpr int OpenBook = 3;
inline constexpr int RemoveBook = 4;
inline constexpr int BackToMain = 5;
inline constexpr int Minimize = 7;
inline constexpr int Exit = 8;
// Opens the install window.
inline constexpr int InstallBook = 9;
inline constexpr int Help = 10;

} // namespace hint

} // namespace messages
