#include "firmware/BuiltInImages.h"

namespace zorvan::firmware {

extern const char kBuiltInImage1[];
extern const unsigned long kBuiltInImage1Size;
extern const char kBuiltInImage2[];
extern const unsigned long kBuiltInImage2Size;

std::string_view BuiltInImageText(int number) {
  if (number == 1) return {kBuiltInImage1, kBuiltInImage1Size};
  if (number == 2) return {kBuiltInImage2, kBuiltInImage2Size};
  return {};
}

TImageLines LoadBuiltInImage(int number) { return SplitImageText(BuiltInImageText(number)); }

}  // namespace zorvan::firmware
