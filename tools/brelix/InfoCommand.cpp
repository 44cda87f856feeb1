#include "InfoCommand.h"

#include "JsonWriter.h"
#include "PluginLocator.h"

#include <cstdio>

using namespace vst3host;

namespace brelix {

namespace {

std::string format(const char* fmt, double v)
{
  char text[64];
  std::snprintf(text, sizeof(text), fmt, v);
  return text;
}

std::string joined(const std::vector<std::string>& items, const char* separator)
{
  std::string s;
  for (const auto& item : items)
    s += (s.empty() ? "" : separator) + item;
  return s;
}

} // namespace

std::string InfoCommand::run()
{
  const std::string path = options_.plugin.empty() ? defaultPluginPath() : options_.plugin;
  auto module = Vst3Module::load(path);

  std::vector<const ClassDescription*> chosen;
  if (!options_.className.empty())
    chosen.push_back(&module->selectEffectClass(options_.className));
  else
    chosen = module->audioEffectClasses();
  if (chosen.empty())
    module->selectEffectClass(""); // reports that the module holds no audio effect class

  std::vector<EffectReport> effects;
  for (const ClassDescription* cls : chosen)
  {
    PluginInstance plugin(*module, *cls);
    effects.push_back(PluginScanner::scan(plugin));
  }
  return options_.json ? asJson(*module, effects) : asText(*module, effects);
}

std::string InfoCommand::asText(const Vst3Module& module, const std::vector<EffectReport>& effects)
{
  std::string t;
  const FactoryDescription& f = module.factoryDescription();
  t += "Module   " + module.path() + "\n";
  t += "Library  " + module.libraryPath() + "\n";
  t += "Factory  " + f.vendor + (f.url.empty() ? "" : "  " + f.url) + (f.email.empty() ? "" : "  " + f.email) +
       "  (IPluginFactory" + (f.interfaceVersion > 1 ? std::to_string(f.interfaceVersion) : "") + ", flags " +
       std::to_string(f.flags) + ")\n";
  t += "Classes\n";
  for (const auto& c : module.classes())
  {
    t += "  " + c.uid + "  " + c.category + "  \"" + c.name + "\"";
    if (c.hasInfo2)
      t += "  [" + c.subCategories + "]  " + c.vendor + " " + c.version + "  (" + c.sdkVersion + ")";
    t += "\n";
  }

  for (const auto& e : effects)
  {
    t += "\nEffect \"" + e.cls.name + "\"  " + (e.singleComponent ? "single component" : "separate controller") +
         ", latency " + std::to_string(e.latency) + ", tail " + std::to_string(e.tail) + ", samples" +
         (e.can32 ? " 32-bit" : "") + (e.can64 ? " 64-bit" : "") + "\n";
    t += "  Buses\n";
    for (const auto& b : e.buses)
      t += "    " + b.media + " " + b.direction + " " + std::to_string(b.index) + "  \"" + b.name + "\"  " +
           std::to_string(b.channelCount) + " ch  " + b.type + (b.defaultActive ? "  default-active" : "") + "\n";
    t += "  Parameters (" + std::to_string(e.parameters.size()) + ")\n";
    for (const auto& p : e.parameters)
    {
      t += "    " + std::to_string(p.info.id) + "  \"" + p.info.title + "\"";
      if (!p.info.units.empty())
        t += " [" + p.info.units + "]";
      t += "  steps " + std::to_string(p.info.stepCount) + "  default " + format("%.6g", p.info.defaultNormalized) +
           " = " + format("%.6g", p.defaultPlain) + " \"" + p.defaultText + "\"  unit " +
           std::to_string(p.info.unitId);
      if (!p.flagNames.empty())
        t += "  " + joined(p.flagNames, ",");
      t += "\n";
    }
    if (!e.hasUnitInfo)
    {
      t += "  Units: no IUnitInfo\n";
      continue;
    }
    t += "  Units\n";
    for (const auto& u : e.units)
      t += "    " + std::to_string(u.id) + "  \"" + u.name + "\"  parent " + std::to_string(u.parentId) +
           "  program list " + std::to_string(u.programListId) + "\n";
    t += "  Program lists (count " + std::to_string(e.programListCount) + ")\n";
    for (const auto& l : e.programLists)
    {
      t += "    " + std::to_string(l.id) + "  \"" + l.name + "\"  " + std::to_string(l.programCount) + " programs\n";
      for (size_t i = 0; i < l.programs.size(); ++i)
        t += "      " + std::to_string(i) + "  \"" + l.programs[i] + "\"\n";
    }
  }
  return t;
}

std::string InfoCommand::asJson(const Vst3Module& module, const std::vector<EffectReport>& effects)
{
  JsonWriter j;
  j.beginObject();
  j.string("path", module.path());
  j.string("library", module.libraryPath());
  const FactoryDescription& f = module.factoryDescription();
  j.beginObject("factory");
  j.string("vendor", f.vendor);
  j.string("url", f.url);
  j.string("email", f.email);
  j.number("flags", int64_t(f.flags));
  j.number("interfaceVersion", int64_t(f.interfaceVersion));
  j.endObject();

  j.beginArray("classes");
  for (const auto& c : module.classes())
  {
    j.beginObject();
    j.string("uid", c.uid);
    j.string("category", c.category);
    j.string("name", c.name);
    j.number("cardinality", int64_t(c.cardinality));
    if (c.hasInfo2)
    {
      j.string("subCategories", c.subCategories);
      j.string("vendor", c.vendor);
      j.string("version", c.version);
      j.string("sdkVersion", c.sdkVersion);
      j.number("classFlags", int64_t(c.classFlags));
    }
    j.endObject();
  }
  j.endArray();

  j.beginArray("effects");
  for (const auto& e : effects)
  {
    j.beginObject();
    j.string("uid", e.cls.uid);
    j.string("name", e.cls.name);
    j.boolean("singleComponent", e.singleComponent);
    j.number("latency", int64_t(e.latency));
    j.number("tail", int64_t(e.tail));
    j.beginArray("sampleSizes");
    if (e.can32)
      j.number(nullptr, int64_t(32));
    if (e.can64)
      j.number(nullptr, int64_t(64));
    j.endArray();

    j.beginArray("buses");
    for (const auto& b : e.buses)
    {
      j.beginObject();
      j.string("media", b.media);
      j.string("direction", b.direction);
      j.number("index", int64_t(b.index));
      j.string("name", b.name);
      j.number("channelCount", int64_t(b.channelCount));
      j.string("type", b.type);
      j.boolean("defaultActive", b.defaultActive);
      if (b.media == "audio")
        j.number("arrangement", int64_t(b.arrangement));
      j.endObject();
    }
    j.endArray();

    j.beginArray("parameters");
    for (const auto& p : e.parameters)
    {
      j.beginObject();
      j.number("id", int64_t(p.info.id));
      j.string("title", p.info.title);
      j.string("shortTitle", p.info.shortTitle);
      j.string("units", p.info.units);
      j.number("stepCount", int64_t(p.info.stepCount));
      j.number("defaultNormalized", p.info.defaultNormalized);
      j.number("defaultPlain", p.defaultPlain);
      j.string("defaultText", p.defaultText);
      j.number("unitId", int64_t(p.info.unitId));
      j.number("flags", int64_t(p.info.flags));
      j.beginArray("flagNames");
      for (const auto& name : p.flagNames)
        j.string(nullptr, name);
      j.endArray();
      j.endObject();
    }
    j.endArray();

    j.boolean("unitInfo", e.hasUnitInfo);
    j.beginArray("units");
    for (const auto& u : e.units)
    {
      j.beginObject();
      j.number("id", int64_t(u.id));
      j.number("parentId", int64_t(u.parentId));
      j.string("name", u.name);
      j.number("programListId", int64_t(u.programListId));
      j.endObject();
    }
    j.endArray();
    j.number("programListCount", int64_t(e.programListCount));
    j.beginArray("programLists");
    for (const auto& l : e.programLists)
    {
      j.beginObject();
      j.number("id", int64_t(l.id));
      j.string("name", l.name);
      j.number("programCount", int64_t(l.programCount));
      j.beginArray("programs");
      for (const auto& name : l.programs)
        j.string(nullptr, name);
      j.endArray();
      j.endObject();
    }
    j.endArray();
    j.endObject();
  }
  j.endArray();
  j.endObject();
  return j.text();
}

} // namespace brelix
