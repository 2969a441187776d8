"""What a printer says of itself is data: bytes that are not UTF-8 are replaced, never an
error."""
import os
import shutil
import subprocess

import pytest

import rawlet

AGENT = os.environ["RAWLET_SOURCE_DIR"] + "/tests/lib/snmp-agent.sh"
ADDRESS = "127.62.25.1"  # a loopback address of its own: printers' agents listen on port 161


@pytest.fixture
def latin1_agent(tmp_path):
    """An SNMP agent for a printer that describes itself in Latin-1: 'Société Caféine'."""
    if os.geteuid() != 0 or not shutil.which("snmpd", path=os.environ["PATH"] + ":/usr/sbin"):
        pytest.skip("an SNMP agent on port 161 needs root and snmpd")
    folder = tmp_path / "agent"
    subprocess.run([AGENT, "start", folder, f"{ADDRESS}:161", "description=0x436166e9696e65",
                    "device-id=0x4d46473a536f6369e974e93b"], check=True)
    yield
    subprocess.run([AGENT, "stop", folder], check=True)


def test_a_printer_speaking_latin1_is_read_with_replacements(latin1_agent):
    status = rawlet.status(f"socket://{ADDRESS}:9?timeout=2")
    assert "snmp" in status.sources
    assert (status.manufacturer, status.model) == ("Soci\ufffdt\ufffd", "Caf\ufffdine")
