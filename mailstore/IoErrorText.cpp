#include "mailstore/IoErrorText.h"

#include "platform/ErrorCode.h"

namespace mailstore {

std::string IoErrorText(int code) {
  switch (code) {
    case 0: return "";
    case 1: return "Invalid DOS function!";
    case 2: return "File not found!";
    case 3: return "Invalid filename or directory!";
    case 4: return "Too many files open!";
    case 5:
      return "Access denied! The file is set to Read Only, is currently in use by another\r\n"
             "application or the disk has been write protected.";
    case 6: return "Invalid file handle!";
    case 8: return "Not enough memory!";
    case 12: return "Invalid file access code!";
    case 15: return "Invalid drive!";
    case 16: return "Cannot remove current directory.";
    case 19: return "Disk is write protected!";
    case 30:
      return "The disk that you are currently trying to use contains an error.\r\n"
             "This is usually caused by bad sectors on the disk itself.";
    case 31: return "Disk is unformatted.";
    case 32: return "File is currently being used by the system.";
    case 100: return "Disk read error! File may be damaged.";
    case 101: return "The disk is full!";
    case 106: return "Invalid file format!";
    case 112: return "The disk is full!";
    case 150: return "Disk is write protected!";
    case 152: return "The drive is empty! Please insert~a diskette and try again.";
    case 154: return "CRC error in data!";
    case 156: return "Disk seek error!";
    case 157: return "Unknown media type!";
    case 158: return "Sector not found!";
    case 159: return "The printer is out of paper!";
    case 160: return "Device write fault!";
    case 161: return "Device read fault!";
    case 162: return "Hardware failure!";
    case platform::kNotARegularFile:
      return "A link or a folder stands where a file of the\rMail Directory should be. It was left alone.";
    case platform::kFileTooLarge:
      return "The file is larger than a file of its kind may be.\rIt was not read.";
    case kMailDirectoryEmpty:
      return "The Mail Directory is empty. The network share that holds\rit may not be connected.";
    case kTempFileError:
      return "Unable to create temporary file! Check\rdirectory settings under Preferences in\r"
             "the Options menu.";
    default:
      break;
  }
  // Failures of this system that Windows has no code for still say what
  // happened.
  if (std::string text = platform::SystemErrorText(code); !text.empty()) return text;
  return "Unknown Error #" + std::to_string(code);
}

std::string TextFileErrorText(int code) {
  if (code == platform::kNotARegularFile) return "That is a folder or a device, not a text file.";
  return IoErrorText(code);
}

}  // namespace mailstore
