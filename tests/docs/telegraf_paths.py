#!/usr/bin/env python3
"""The guide's Telegraf configuration against a real readings message.

Usage: telegraf_paths.py CONF READINGS_JSON

Parses CONF as TOML, as Telegraf would, and checks that it subscribes to the
station's readings topic, takes the station from the topic level the station
puts its id in, and that every JSON path it reads (the time and each field)
is in the message. Exits 1 with the reason when not.
"""
import json
import sys
import tomllib


def main(conf_path, message_path):
    with open(conf_path, "rb") as conf:
        conf = tomllib.load(conf)
    with open(message_path, encoding="utf-8") as message:
        message = json.load(message)

    problems = []
    consumers = conf.get("inputs", {}).get("mqtt_consumer", [])
    if len(consumers) != 1:
        problems.append(f"expected one [[inputs.mqtt_consumer]], found {len(consumers)}")
    for consumer in consumers:
        if consumer.get("topics") != ["kestrom-dgh/+/readings"]:
            problems.append(f"topics {consumer.get('topics')} are not the readings of every station")
        for parsing in consumer.get("topic_parsing", []):
            levels = parsing["topic"].split("/")
            tags = parsing["tags"].split("/")
            if len(levels) != len(tags):
                problems.append(f"topic_parsing: {parsing['tags']} has not as many levels as {parsing['topic']}")
            elif tags[levels.index("+")] != "station":
                problems.append("topic_parsing: the station's level is not tagged 'station'")
        for parser in consumer.get("json_v2", []):
            paths = [parser["timestamp_path"]] + [field["path"] for field in parser.get("field", [])]
            for path in paths:
                if path not in message:
                    problems.append(f"json_v2 path '{path}' is in no readings message")
            read = {field["path"] for field in parser.get("field", [])}
            for key in message:
                if key != parser["timestamp_path"] and key not in read:
                    problems.append(f"the message's '{key}' is not taken as a field")
    for problem in problems:
        print(f"telegraf_paths: {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
