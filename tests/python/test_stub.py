"""The stub _rawlet.pyi declares what the module has, no more, and the module documents it:
the docstrings live in the binding alone, the types in the stub alone."""
import ast
import pathlib
import types

import pytest

import rawlet._rawlet as module

# Public, though spelled with underscores; the rest of the dunder names are Python's own.
SPECIAL = {"__version__", "__init__", "__enter__", "__exit__"}
UNDOCUMENTED = {"__version__", "__init__", "__enter__"}


def declared(body):
    """The names a stub body declares, each with its class body (None for the rest)."""
    names = {}
    for node in body:
        if isinstance(node, (ast.FunctionDef, ast.ClassDef)):
            names[node.name] = node.body if isinstance(node, ast.ClassDef) else None
        elif isinstance(node, ast.AnnAssign):
            names[node.target.id] = None
    return names


def public(namespace):
    # A slot wrapper is Python's, not the binding's: the __init__ of a class bound without one.
    return {
        name
        for name, value in vars(namespace).items()
        if (not name.startswith("_") or name in SPECIAL) and not isinstance(value, types.WrapperDescriptorType)
    }


STUB = ast.parse((pathlib.Path(module.__file__).parent / "_rawlet.pyi").read_text())
STUBBED = declared(STUB.body)
CLASSES = [name for name, body in STUBBED.items() if body is not None]


def members():
    for name in sorted(public(module)):
        thing = getattr(module, name)
        yield name, thing
        if isinstance(thing, type):
            yield from ((f"{name}.{member}", getattr(thing, member)) for member in sorted(public(thing)))


def test_the_stub_declares_the_module_names():
    assert set(STUBBED) == public(module)


def test_the_stub_has_no_docstrings():
    texts = [node.value.value for node in ast.walk(STUB) if isinstance(node, ast.Expr)
             and isinstance(node.value, ast.Constant) and isinstance(node.value.value, str)]
    assert texts == []


@pytest.mark.parametrize("name", CLASSES)
def test_the_stub_declares_each_class_member(name):
    assert set(declared(STUBBED[name])) == public(getattr(module, name))


@pytest.mark.parametrize(
    "name,member", [(name, member) for name, member in members() if name.split(".")[-1] not in UNDOCUMENTED]
)
def test_help_shows_a_docstring(name, member):
    doc = member.__doc__ or ""
    if callable(member) and not isinstance(member, type):
        doc = doc.partition("\n")[2]  # pybind11's first line is the signature
    assert doc.strip(), f"{name} has no docstring"
