#include "logging/text_file.h"

#include <fstream>
#include <sstream>

std::string ReadTextFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::out | std::ios::trunc);
    file << text;
    file.close();
    return !file.fail();
}
