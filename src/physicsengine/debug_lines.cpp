#include "physicsengine/bullet_parts.h"

#include <iostream>

namespace frosk::physicsengine {

void DebugLineCollector::drawLine(const btVector3& from, const btVector3& to, const btVector3& color)
{
    if (!out)
        return;
    for (const btVector3* point : {&from, &to})
        out->insert(out->end(), {point->x(), point->y(), point->z(), color.x(), color.y(), color.z()});
}

void DebugLineCollector::reportErrorWarning(const char* warning)
{
    std::cout << "Physics: " << warning << std::endl;
}

} // namespace frosk::physicsengine
