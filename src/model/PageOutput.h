#pragma once
// Output that a worker addresses to a page rather than to one control: the page applies it
// itself (a list it fills, state that no control shows).
#include <string>
#include <vector>

namespace zorvan {

struct TPageOutput {
  std::string topic;  // what the page is told, in the page's own words
  std::vector<std::string> texts;
  std::vector<long long> numbers;
};

}  // namespace zorvan
