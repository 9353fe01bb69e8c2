"""The type library kept inside libVelmarith.so, from the same file, installed beside this
package: the classes, their members in order, dispatch ids, types, defaults and events."""
import json
import os
from dataclasses import dataclass, field


@dataclass
class Parameter:
    name: str
    type: str
    optional: bool = False
    default: object = None


@dataclass
class Member:
    name: str
    dispid: int
    kinds: set = field(default_factory=set)  # "get", "let", "set" for a property; "method"
    type: str = ""
    parameters: list = field(default_factory=list)
    result: str = "void"


@dataclass
class ClassInfo:
    name: str
    clsid: str
    progid: str
    members: dict
    events: dict        # name -> Member of the event interface
    events_iid: str = ""


def _members(entry):
    members = {}
    for raw in entry["members"]:
        if raw.get("unassigned"):
            continue
        dispid = raw["dispid"] if isinstance(raw["dispid"], int) else int(raw["dispid"], 16)
        member = members.setdefault(raw["name"], Member(raw["name"], dispid))
        member.kinds.add(raw["kind"])
        member.type = raw.get("type", member.type)
        member.result = raw.get("result", member.result)
        member.parameters = [Parameter(p["name"], p["type"], p.get("optional", False), p.get("default"))
                             for p in raw.get("params", [])] or member.parameters
    return members


def load():
    with open(os.path.join(os.path.dirname(__file__), "typelib.json"), encoding="utf-8") as source:
        library = json.load(source)
    interfaces = {entry["name"]: entry for entry in library["interfaces"]}
    classes = {}
    for raw in library["classes"]:
        events = interfaces.get(raw["source"]) if raw["source"] else None
        classes[raw["name"]] = ClassInfo(raw["name"], raw["clsid"], raw["progid"], _members(interfaces[raw["default"]]),
                                         _members(events) if events else {}, events["iid"] if events else "")
    return classes
