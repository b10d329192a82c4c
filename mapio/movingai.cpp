#include "mapio/movingai.h"

bool parseMovingAi(const std::string&, const std::string& name, MapData&, std::string& error, GridInfo*)
{
    error = name + ": Moving AI maps not read yet";
    return false;
}

bool readMovingAiFile(const std::string& path, MapData&, std::string& error, GridInfo*)
{
    error = path + ": Moving AI maps not read yet";
    return false;
}
