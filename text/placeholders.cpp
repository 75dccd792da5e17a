#include "text/placeholders.h"

namespace ovtext {

const char* ExpectedSignature(int number) {
  switch (number) {
    case 9237:  // system error code
    case 249:   // file handle
    case 916:   // name count
    case 923:   // record index of a damaged entry
    case 924:
      return "d";
    case 9255:  // file, system error code
    case 9259:
      return "sd";
    case 926:  // record index, file name of a damaged entry
      return "ds";
    case 8586:  // source, target
    case 8589:  // source, declared size
    case 922:   // path asked for, path already open
      return "ss";
    case 8587:  // source
    case 8588:  // target
    case 8590:  // source or target
    case 2506:  // path
    case 2531:
    case 2532:
    case 2533:
    case 2534:
    case 903:  // procedure name
    case 911:  // path
    case 917:  // mode
    case 918:  // path
    case 927:
    case 928:
      return "s";
    default:
      return "";
  }
}

}  // namespace ovtext
