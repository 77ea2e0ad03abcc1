#include <iostream>

int main() {
    std::cout << "quorvane-cli\n";
    return 0;
}
