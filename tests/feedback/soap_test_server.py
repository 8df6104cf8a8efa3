#!/usr/bin/env python3
"""Local stand-in for the feedback web service, for tests only.

Listens on 127.0.0.1 on a free port (written to <dir>/port), checks every request the way the
real service would (verb, path, SOAPAction, Accept, User-Agent, content type and encoding, a raw
deflate body that inflates to a SOAP 1.1 envelope in the service namespace) and answers per
scenario. Each request is logged as <dir>/NNN.meta (key=value lines) and <dir>/NNN.xml (the
request document after inflating).

Scenarios (--scenario default=NAME,Method=NAME,...; a "?scenario=NAME" query overrides them):
  success    two-way methods: 200 with the response element; "Now" methods: 202
  accepted   202 without a body
  ok200      200 with a response element, also for "Now" methods
  fault      500 with a SOAP fault
  slow       waits --slow-seconds, then answers as success
  drop       closes the connection without an answer
  oversized  200 with an answer of --oversized-bytes bytes
  trickle    200 with a success answer sent one byte every --trickle-seconds
  garbage    200 with text that is not XML
  status404  404 without a body
"""
import argparse
import http.server
import os
import socketserver
import sys
import threading
import time
import urllib.parse
import xml.etree.ElementTree as ET
import zlib

SOAP_NS = "http://schemas.xmlsoap.org/soap/envelope/"
SERVICE_NS = "http://feedback.quenlo-games.example/data/1.0"
PATH = "/data/dataservice.asmx"
DEFLATE_TYPE = "application/octet-stream; type=NimbraClient-DeflateData"
PLAIN_TYPE = "text/xml; charset=utf-8"
METHODS = {"BeginSession", "RecordSessionEventsChunk", "RecordSessionEventsChunkNow", "RecordSystemInfo",
           "RecordSystemInfoNow", "EndSession", "EndSessionNow"}
MAX_BODY = 64 << 20


def envelope(inner):
    return ('<?xml version="1.0" encoding="utf-8"?><soap:Envelope xmlns:soap="%s"><soap:Body>%s'
            '</soap:Body></soap:Envelope>' % (SOAP_NS, inner)).encode("utf-8")


def xml_text(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.refuse("verb GET")

    def do_PUT(self):
        self.refuse("verb PUT")

    def refuse(self, why):
        self.server.logger.write({"errors": why, "method": "", "verb": self.command}, b"")
        self.answer(405, b"", None)

    def answer(self, status, body, content_type):
        self.send_response(status)
        if content_type:
            self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if body:
            self.wfile.write(body)

    def do_POST(self):
        options = self.server.options
        errors = []
        url = urllib.parse.urlsplit(self.path)
        if url.path != PATH:
            errors.append("path " + url.path)
        length = int(self.headers.get("Content-Length", "0"))
        if length < 0 or length > MAX_BODY:
            errors.append("length %d" % length)
            length = 0
        raw = self.rfile.read(length)
        if len(raw) < length:
            # The client stopped sending: no request reached the service, so none is logged.
            self.close_connection = True
            return
        content_type = self.headers.get("Content-Type", "")
        encoding = self.headers.get("Content-Encoding")
        compressed = content_type == DEFLATE_TYPE
        body = raw
        if compressed:
            if encoding != "identity":
                errors.append("Content-Encoding %r" % encoding)
            try:
                inflater = zlib.decompressobj(-15)
                body = inflater.decompress(raw) + inflater.flush()
                if not inflater.eof:
                    errors.append("deflate stream not finished")
            except zlib.error as e:
                errors.append("inflate: %s" % e)
        elif content_type == PLAIN_TYPE:
            if encoding is not None:
                errors.append("Content-Encoding on plain body")
        else:
            errors.append("Content-Type %r" % content_type)
        if self.headers.get("Accept") != "text/xml":
            errors.append("Accept %r" % self.headers.get("Accept"))
        if self.headers.get("User-Agent") != "NimbraClient-Native/1.0":
            errors.append("User-Agent %r" % self.headers.get("User-Agent"))
        method = self.parse_method(body, errors)
        action = self.headers.get("SOAPAction", "")
        if action != '"%s/%s"' % (SERVICE_NS, method):
            errors.append("SOAPAction %r" % action)
        query = urllib.parse.parse_qs(url.query)
        scenario = query.get("scenario", [None])[0] or options.scenarios.get(method) or options.scenarios.get("default", "success")
        self.server.logger.write({
            "method": method, "verb": self.command, "soapAction": action, "contentType": content_type,
            "contentEncoding": encoding if encoding is not None else "-", "compressed": "1" if compressed else "0",
            "rawLength": str(len(raw)), "scenario": scenario, "errors": "; ".join(errors)}, body)
        if errors:
            self.answer(400, ("; ".join(errors)).encode("utf-8"), "text/plain")
            return
        self.play(scenario, method)

    def parse_method(self, body, errors):
        try:
            root = ET.fromstring(body)
        except ET.ParseError as e:
            errors.append("xml: %s" % e)
            return ""
        if root.tag != "{%s}Envelope" % SOAP_NS:
            errors.append("root %s" % root.tag)
            return ""
        soap_body = root.find("{%s}Body" % SOAP_NS)
        if soap_body is None or len(soap_body) != 1:
            errors.append("body")
            return ""
        element = soap_body[0]
        prefix = "{%s}" % SERVICE_NS
        if not element.tag.startswith(prefix):
            errors.append("namespace of %s" % element.tag)
            return ""
        method = element.tag[len(prefix):]
        if method not in METHODS:
            errors.append("method %s" % method)
        return method

    def play(self, scenario, method):
        options = self.server.options
        if scenario == "slow":
            time.sleep(options.slow_seconds)
            scenario = "success"
        if scenario == "drop":
            self.close_connection = True
            return
        if scenario == "accepted" or (scenario == "success" and method.endswith("Now")):
            self.answer(202, b"", None)
        elif scenario in ("success", "ok200"):
            self.answer(200, envelope(self.response_element(method)), "text/xml; charset=utf-8")
        elif scenario == "fault":
            fault = ('<soap:Fault><faultcode>soap:Server</faultcode><faultstring>Server was unable to process'
                     ' request. &lt;test&gt;</faultstring><detail/></soap:Fault>')
            self.answer(500, envelope(fault), "text/xml; charset=utf-8")
        elif scenario == "oversized":
            self.send_response(200)
            self.send_header("Content-Type", "text/xml; charset=utf-8")
            self.send_header("Content-Length", str(options.oversized_bytes))
            self.end_headers()
            block = b" " * 65536
            left = options.oversized_bytes
            try:
                while left > 0:
                    piece = block[:min(left, len(block))]
                    self.wfile.write(piece)
                    left -= len(piece)
            except OSError:
                pass
            self.close_connection = True
        elif scenario == "trickle":
            body = envelope(self.response_element(method))
            self.send_response(200)
            self.send_header("Content-Type", "text/xml; charset=utf-8")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            try:
                for i in range(len(body)):
                    self.wfile.write(body[i:i + 1])
                    self.wfile.flush()
                    time.sleep(options.trickle_seconds)
            except OSError:
                pass
            self.close_connection = True
        elif scenario == "garbage":
            self.answer(200, b"this is not xml <<<", "text/xml; charset=utf-8")
        elif scenario == "status404":
            self.answer(404, b"", None)
        else:
            self.answer(400, ("unknown scenario " + scenario).encode("utf-8"), "text/plain")

    def response_element(self, method):
        o = self.server.options
        if method == "BeginSession":
            return ('<BeginSessionResponse xmlns="%s"><BeginSessionResult><ServerFlags>%s</ServerFlags>'
                    '<SessionId>%s</SessionId><FeedbackLevel>%s</FeedbackLevel><BetaUrl>%s</BetaUrl>'
                    '<UserId>%s</UserId></BeginSessionResult></BeginSessionResponse>' % (
                        SERVICE_NS, xml_text(o.server_flags), xml_text(o.session_id), xml_text(o.feedback_level),
                        xml_text(o.beta_url), xml_text(o.user_id)))
        return '<%sResponse xmlns="%s"/>' % (method, SERVICE_NS)


class Logger:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0
        self.lock = threading.Lock()

    def write(self, meta, body):
        with self.lock:
            name = os.path.join(self.folder, "%03d" % self.count)
            self.count += 1
            with open(name + ".xml", "wb") as f:
                f.write(body)
            text = "".join("%s=%s\n" % (k, str(v).replace("\n", " ")) for k, v in meta.items())
            with open(name + ".tmp", "w", encoding="utf-8") as f:
                f.write(text)
            os.replace(name + ".tmp", name + ".meta")  # readers see whole files only


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--dir", required=True)
    parser.add_argument("--scenario", default="default=success")
    parser.add_argument("--slow-seconds", type=float, default=30.0)
    parser.add_argument("--oversized-bytes", type=int, default=4 << 20)
    parser.add_argument("--trickle-seconds", type=float, default=0.2)
    parser.add_argument("--session-id", default="7f1c2a90-session")
    parser.add_argument("--server-flags", default="0")
    parser.add_argument("--feedback-level", default="3")
    parser.add_argument("--beta-url", default="")
    parser.add_argument("--user-id", default="0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0")
    options = parser.parse_args()
    options.scenarios = dict(item.split("=", 1) for item in options.scenario.split(",") if "=" in item)
    server = Server(("127.0.0.1", 0), Handler)
    server.options = options
    server.logger = Logger(options.dir)
    port_file = os.path.join(options.dir, "port")
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    # Ends with the test: the test kills it, and it stops by itself if the test dies first.
    watchdog = threading.Timer(600, lambda: os._exit(0))
    watchdog.daemon = True
    watchdog.start()
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
