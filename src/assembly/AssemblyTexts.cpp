#include "assembly/AssemblyTexts.h"

std::string OverwriteClashText(const std::string &value, const std::string &placeholder)
{
    return std::string(" There is a problem here; The programme wants to insert ") + value + ";" +
           " into the space of " + placeholder + ";" +
           "Suggest you re-edit either template or INF file;" +
           " OR rerun this merge with overwrite set to false.";
}

std::string NotWholeWordText(const std::string &placeholder)
{
    return "Your TEMPLATE file contains " + placeholder +
           " joined to the text around it;(a capital letter, digit or special character touches "
           "it), so it cannot be replaced;Please correct the template or rerun this merge with "
           "overwrite set to true";
}

std::string RunawayText(const std::string &placeholder)
{
    return "The merge keeps meeting " + placeholder +
           " again;A value in the INFORMATION file holds its own placeholder;or values refer to "
           "each other in a circle;Please correct the error before proceeding";
}

std::string MergeProgressCaption(int count)
{
    return std::to_string(count) + "  replacements  ";
}

std::string MergeFinishCaption(int count)
{
    return std::to_string(count) + " replacements were made";
}
