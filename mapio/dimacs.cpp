#include "mapio/dimacs.h"

bool readDimacsFile(const std::string& path, MapData&, std::string& error)
{
    error = path + ": DIMACS graphs not read yet";
    return false;
}
