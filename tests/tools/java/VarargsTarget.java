import java.lang.reflect.Method;
import java.util.Arrays;

// Methods that report what they receive, for calls through the variadic and
// va_list JNI entries.  Floating values are chosen to print exactly.
public class VarargsTarget {
    public static boolean echoZ(boolean v) { return v; }
    public static byte echoB(byte v) { return v; }
    public static char echoC(char v) { return v; }
    public static short echoS(short v) { return v; }
    public static int echoI(int v) { return v; }
    public static long echoJ(long v) { return v; }
    public static float echoF(float v) { return v; }
    public static double echoD(double v) { return v; }
    public static Object echoL(Object v) { return v; }

    private static String last = "";

    public static void record(int i, double d, String s) {
        last = "record " + i + " " + d + " " + s;
    }

    public static String last() {
        return last;
    }

    public static String describe(boolean z, byte b, char c, short s, int i, long j,
                                  float f, double d, String str, int[] arr) {
        return z + " " + b + " " + (int) c + " " + s + " " + i + " " + j + " " + f + " "
            + d + " " + str + " " + Arrays.toString(arr);
    }

    // More arguments than registers, floating and integer mixed.
    public static String many(int a, double b, long c, float d, int e, double f, long g,
                              float h, short i, byte j, char k, double l, boolean m) {
        return a + " " + b + " " + c + " " + d + " " + e + " " + f + " " + g + " " + h + " "
            + i + " " + j + " " + (int) k + " " + l + " " + m;
    }

    // Never looked up by name from native code: only through reflection.
    public static String hidden(long a, float b, Object c) {
        return "hidden " + a + " " + b + " " + c;
    }

    public static Method method(String name) {
        for (Method m : VarargsTarget.class.getDeclaredMethods())
            if (m.getName().equals(name))
                return m;
        return null;
    }

    private final String tag;
    private final long base;
    private final float scale;
    private final char mark;

    public VarargsTarget(String tag, long base, float scale, char mark) {
        this.tag = tag;
        this.base = base;
        this.scale = scale;
        this.mark = mark;
    }

    public String state() {
        return tag + " " + base + " " + scale + " " + (int) mark;
    }

    public long plus(long a, int b, short c) {
        return base + a + b + c;
    }

    public float scaled(float f, double d) {
        return (float) (f * scale + d);
    }

    public String name(int n) {
        return "VarargsTarget " + n;
    }

    public static class Child extends VarargsTarget {
        public Child() {
            super("child", 1, 1, 'c');
        }

        @Override
        public String name(int n) {
            return "Child " + n;
        }
    }
}
